#include "tools/lut_builder/renderer_patches.h"

#include "ulmarender/engine/error_diffusion.h"

namespace lut_builder {

RendererPalette::RendererPalette(std::span<const Lab> palette) : palette_(palette.begin(), palette.end()) {
    if (palette_.size() != static_cast<std::size_t>(ulma::kPaletteSize)) return;
    ulma::Palette& renderer = renderer_.emplace();
    for (std::size_t n = 0; n < palette_.size(); ++n) {
        renderer.cielab_l_table[n] = palette_[n].l;
        renderer.cielab_a_table[n] = palette_[n].a;
        renderer.cielab_b_table[n] = palette_[n].b;
    }
}

std::vector<unsigned char> RendererPalette::choices_on_patch(Rgb8 colour) const {
    if (!renderer_) return {};
    constexpr int size = kRendererPatch;
    std::vector<unsigned char> patch(3 * size * size);
    for (std::size_t p = 0; p < patch.size(); p += 3) {
        patch[p] = colour.b;
        patch[p + 1] = colour.g;
        patch[p + 2] = colour.r;
    }
    std::vector<unsigned char> index(size * size, 0);
    ulma::diffuse_onto_palette(*renderer_, false, size, size, patch.data(), nullptr, index.data());
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
