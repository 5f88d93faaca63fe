#include <algorithm>
#include <fstream>
#include <iterator>

#include "apps/photo2panel/outputs.h"
#include "apps/photo2panel/packed_output.h"
#include "apps/photo2panel/render.h"
#include "morva6/morva6.h"
#include "morva6/morva6_image.h"
#include "morva6/morva6_pack.h"
#include "morva6/core/tft_transfer.h"

namespace photo2panel {
namespace {

// Red, green, blue to blue, green, red (and back: the swap is its own inverse).
std::vector<std::uint8_t> swap_red_blue(const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> swapped(pixels.size());
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        swapped[i] = pixels[i + 2];
        swapped[i + 1] = pixels[i + 1];
        swapped[i + 2] = pixels[i];
    }
    return swapped;
}

bool adjustment_is_neutral(const Options& o) {
    return o.hue == 0 && o.saturation == 0 && o.brightness == 0 && o.contrast == 0 && o.gamma == 1.0;
}

}  // namespace

bool install_lut(const std::string& path, std::vector<std::uint8_t>& block, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open the LUT file";
        return false;
    }
    block.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad() || block.size() != OVEX_LUT_FILE_SIZE ||
        Ovex_Morva6_render_init(block.data(), OVEX_LUT_FILE_SIZE) != OVEX_OK) {
        error = "not a LUT file (" + std::to_string(block.size()) + " bytes, must be " +
                std::to_string(OVEX_LUT_FILE_SIZE) + ")";
        return false;
    }
    return true;
}

bool save_fitted(const RgbPicture& picture, const std::string& path, std::string& error) {
    const bool bmp = path.size() >= 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
    const int status = bmp ? saveBMP_QW(swap_red_blue(picture.rgb).data(), picture.width, picture.height,
                                        path.c_str(), MORVA6_BGR, 1)
                           : savePPM_QW(picture.rgb.data(), picture.width, picture.height, path.c_str());
    if (status != MORVA6_IMG_OK) error = "cannot write " + path;
    return status == MORVA6_IMG_OK;
}

bool render_six_inks(const RgbPicture& picture, const Options& options, const PictureFiles& files,
                     std::string& error) {
    // The library works on blue, green, red pixels, as Morva6_render reads a BMP.
    std::vector<std::uint8_t> bgr = swap_red_blue(picture.rgb);
    std::int32_t width = picture.width;
    std::int32_t height = picture.height;
    if (!adjustment_is_neutral(options) &&
        Ovex_image_adjustment(bgr.data(), 1, bgr.data(), 1, width, height, options.hue, options.saturation,
                              options.brightness, options.contrast, options.gamma) != OVEX_OK) {
        error = "the image adjustment failed";
        return false;
    }
    // One dithering pass gives the panel file's mode and the simulation.
    std::vector<std::uint8_t> codes(bgr.size()), ideal(bgr.size()), simulation(bgr.size());
    if (Ovex_Morva6_render_All(bgr.data(), 1, codes.data(), ideal.data(), simulation.data(), nullptr,
                               width, height, options.dither - 1) != OVEX_OK) {
        error = "rendering failed";
        return false;
    }
    std::vector<std::uint8_t> png;
    if (!files.preview.empty() &&
        !encode_png({picture.width, picture.height, swap_red_blue(simulation)}, png, error))
        return false;
    // A packed panel file holds the inks' indices, taken from the codes.
    const bool packed = is_packed(options.format);
    std::vector<std::uint8_t>& panel = options.mode == 1 || packed ? codes : options.mode == 2 ? ideal : simulation;
    if (options.tft != 0 && Ovex_TFT_format_transfer(panel.data(), &width, &height, options.tft) != OVEX_OK) {
        error = "the TFT format transfer failed (the picture is too small for it)";
        return false;
    }
    if (packed) {
        std::vector<std::uint8_t> indices(std::size_t(width) * std::size_t(height));
        if (morva6_indices_from_codes(panel.data(), indices.size(), indices.data()) != MORVA6_PACK_OK) {
            error = "rendering gave a byte that is no ink's code";
            return false;
        }
        if (!write_packed_panel(files.panel, options, indices, width, height, error)) return false;
    } else if (saveBMP_QW(panel.data(), width, height, files.panel.c_str(), MORVA6_BGR, 1) != MORVA6_IMG_OK) {
        error = "cannot write " + files.panel;
        return false;
    }
    if (!files.preview.empty() && !write_whole_file(files.preview, png)) {
        error = "cannot write " + files.preview;
        return false;
    }
    return true;
}

}  // namespace photo2panel
