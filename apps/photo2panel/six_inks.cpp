#include <algorithm>
#include <string>

#include "common/bounded_read.h"

#include "apps/photo2panel/outputs.h"
#include "apps/photo2panel/packed_output.h"
#include "apps/photo2panel/render.h"
#include "morva6/image/bmp_rows.h"
#include "morva6/morva6.h"
#include "morva6/morva6_image.h"
#include "morva6/morva6_pack.h"

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

std::string installed_lut(int dither) {
    constexpr const char* kKernel[] = {"floyd", "floyd", "jarvis", "jarvis", "stucki", "stucki"};
    const std::string kernel = dither >= 1 && dither <= 6 ? kKernel[dither - 1] : "";
    const std::string made = kernel.empty() ? "" : find_data("Morva6_Render_LUT_Default_v2_" + kernel + ".bin");
    return made.empty() ? find_data("Morva6_Render_LUT_Default_v2.bin") : made;
}

bool install_lut(const std::string& path, std::vector<std::uint8_t>& block, std::string& error) {
    // One byte more than a LUT file may hold tells a longer file from one
    // of the right size; a folder, a device or a pipe is refused as such.
    const auto bytes = common::read_bounded(path, OVEX_LUT_FILE_SIZE + 1, error);
    if (!bytes) {
        if (error.starts_with(path + ": ")) error.erase(0, path.size() + 2);
        if (error.starts_with("larger than"))
            error = "not a LUT file (more than " + std::to_string(OVEX_LUT_FILE_SIZE) + " bytes)";
        return false;
    }
    block = *bytes;
    if (block.size() != OVEX_LUT_FILE_SIZE || Ovex_Morva6_render_init(block.data(), OVEX_LUT_FILE_SIZE) != OVEX_OK) {
        error = "not a LUT file (" + std::to_string(block.size()) + " bytes, must be " +
                std::to_string(OVEX_LUT_FILE_SIZE) + ")";
        return false;
    }
    return true;
}

bool save_fitted(const RgbPicture& picture, const std::string& path, common::OutputSet& outputs, std::string& error) {
    const bool bmp = path.size() >= 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
    if (bmp) {
        const std::vector<std::uint8_t> file =
            morva6::bgr_bmp_file(swap_red_blue(picture.rgb).data(), picture.width, picture.height, true);
        if (file.empty()) {
            error = "cannot make " + path;
            return false;
        }
        outputs.add(path, "", file);
    } else {
        outputs.add(path, "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n",
                    picture.rgb);
    }
    return true;
}

bool render_six_inks(const RgbPicture& picture, const Options& options, const PictureFiles& files,
                     common::OutputSet& outputs, std::string& error) {
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
    if (Ovex_Morva6_render_All(bgr.data(), 1, codes.data(), ideal.data(), simulation.data(), nullptr, width, height,
                               options.dither - 1) != OVEX_OK) {
        error = "rendering failed";
        return false;
    }
    std::vector<std::uint8_t> png;
    if (!files.preview.empty() && !encode_png({picture.width, picture.height, swap_red_blue(simulation)}, png, error))
        return false;
    // A packed panel file holds the inks' indices, taken from the codes.
    const bool packed = is_packed(options.format);
    std::vector<std::uint8_t>& panel = options.mode == 1 || packed ? codes : options.mode == 2 ? ideal : simulation;
    // A transfer halves one side: one row or one column would leave no pixels.
    if (options.tft != 0 &&
        (Ovex_TFT_transfer(panel.data(), &width, &height, options.tft) != OVEX_OK || width <= 0 || height <= 0)) {
        error = "the TFT format transfer failed (the picture is too small for it)";
        return false;
    }
    if (packed) {
        std::vector<std::uint8_t> indices(std::size_t(width) * std::size_t(height));
        if (morva6_indices_from_codes(panel.data(), indices.size(), indices.data()) != MORVA6_PACK_OK) {
            error = "rendering gave a byte that is no ink's code";
            return false;
        }
        if (!add_packed_panel(outputs, files.panel, options, indices, width, height, error)) return false;
    } else {
        const std::vector<std::uint8_t> file = morva6::bgr_bmp_file(panel.data(), width, height, true);
        if (file.empty()) {
            error = "cannot make " + files.panel;
            return false;
        }
        outputs.add(files.panel, "", file);
    }
    if (!files.preview.empty()) outputs.add(files.preview, "", png);
    return true;
}

}  // namespace photo2panel
