#include "tools/lut_builder/renderer_patches.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

#include "ulmarender/engine/error_diffusion.h"

namespace lut_builder {

RendererPalette::RendererPalette(std::span<const Lab> palette) : palette_(palette.begin(), palette.end()) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    path_ =
        ((error ? std::filesystem::path(".") : folder) / ("lut_builder_palette_" + std::to_string(::getpid()) + ".txt"))
            .string();
    std::ofstream file(path_);
    char number[40];
    for (const Lab& colour : palette_)
        for (const double value : {colour.l, colour.a, colour.b}) {
            std::snprintf(number, sizeof number, "%.17g ", value);
            file << number;
        }
    if (!file) path_.clear();
}

RendererPalette::~RendererPalette() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove(path_, error);
}

std::vector<unsigned char> RendererPalette::choices_on_patch(Rgb8 colour) const {
    constexpr int size = kRendererPatch;
    std::vector<unsigned char> patch(3 * size * size);
    for (std::size_t p = 0; p < patch.size(); p += 3) {
        patch[p] = colour.b;
        patch[p + 1] = colour.g;
        patch[p + 2] = colour.r;
    }
    std::vector<unsigned char> index(size * size, 0);
    if (path_.empty() ||
        ulma::error_diffusion_cielab(false, size, size, patch.data(), nullptr, index.data(), path_.c_str()) != 0)
        return {};
    return index;
}

Lab RendererPalette::mean_on_patch(Rgb8 colour) const {
    const std::vector<unsigned char> index = choices_on_patch(colour);
    if (index.empty()) return lab_from_rgb(to_rgb(colour));
    constexpr int size = kRendererPatch;
    Lab sum;
    int count = 0;
    for (int y = kRendererMargin; y < size - kRendererMargin; ++y)
        for (int x = kRendererMargin; x < size - kRendererMargin; ++x, ++count) {
            const Lab& chosen = palette_[index[y * size + x] % palette_.size()];
            sum = {sum.l + chosen.l, sum.a + chosen.a, sum.b + chosen.b};
        }
    return {sum.l / count, sum.a / count, sum.b / count};
}

Lab RendererPalette::mix_on_patch(Rgb8 colour) const {
    const std::vector<unsigned char> index = choices_on_patch(colour);
    if (index.empty()) return lab_from_rgb(to_rgb(colour));
    constexpr int size = kRendererPatch;
    std::vector<int> count(palette_.size(), 0);
    for (int y = kRendererMargin; y < size - kRendererMargin; ++y)
        for (int x = kRendererMargin; x < size - kRendererMargin; ++x) ++count[index[y * size + x] % palette_.size()];
    constexpr double pixels = (size - 2 * kRendererMargin) * (size - 2 * kRendererMargin);
    LinearRgb mix;
    for (std::size_t n = 0; n < palette_.size(); ++n) {
        const LinearRgb light = linear_from_lab(palette_[n]);
        const double share = count[n] / pixels;
        mix = {mix.r + share * light.r, mix.g + share * light.g, mix.b + share * light.b};
    }
    return lab_from_xyz(xyz_from_linear(mix));
}

}  // namespace lut_builder
