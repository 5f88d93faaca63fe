#include <ctime>
#include <string>

#include "common/formats/pnm.h"
#include "apps/photo2panel/outputs.h"
#include "apps/photo2panel/packed_output.h"
#include "apps/photo2panel/render.h"

namespace photo2panel {

bool open_render_data(const std::string& folder, RenderData& data, std::string& error) {
    UlmaMessages messages;
    UlmaRenderData* opened = nullptr;
    if (ulma_open(folder.c_str(), &opened, &messages) != ULMA_OK) {
        error = "not a usable render-data folder: " + std::string(messages.message);
        return false;
    }
    data.reset(opened);
    return true;
}

bool render_eight_colours(const UlmaRenderData& data, const RgbPicture& picture, const Options& options,
                          const PictureFiles& files, common::OutputSet& outputs, std::string& error,
                          std::string& warnings) {
    // The settings as ulmarender's command line sets them; its noise is
    // seeded with the time of the run.
    UlmaSettings settings;
    ulma_default_settings(&settings);
    settings.chroma = options.chroma;
    settings.lightness = options.lightness;
    settings.noise_range = options.noise;
    settings.seed = static_cast<std::uint32_t>(std::time(nullptr));
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    std::vector<std::uint8_t> codes(pixels);
    std::vector<std::uint8_t> proof(files.preview.empty() ? 0 : pixels * 3);
    UlmaMessages messages;
    const std::int32_t status =
        ulma_render(&data, &settings, picture.rgb.data(), picture.width, picture.height, options.temperature,
                    codes.data(), proof.empty() ? nullptr : proof.data(), &messages);
    warnings += messages.warnings;
    if (status != ULMA_OK) {
        error = "the eight-colour renderer stopped: " + std::string(messages.message);
        return false;
    }
    std::vector<std::uint8_t> png;
    if (!files.preview.empty() && !encode_png({picture.width, picture.height, proof}, png, error)) return false;
    if (is_packed(options.format)) {
        // The panel's own codes: the PGM holds each times 8.
        for (std::uint8_t& code : codes) code = static_cast<std::uint8_t>(code / 8);
        if (!add_packed_panel(outputs, files.panel, options, codes, picture.width, picture.height, error)) return false;
    } else {
        outputs.add(files.panel, common::pnm::header("P5", picture.width, picture.height), codes);
    }
    if (!files.preview.empty()) outputs.add(files.preview, "", png);
    return true;
}

}  // namespace photo2panel
