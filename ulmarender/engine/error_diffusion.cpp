#include "ulmarender/engine/error_diffusion.h"

#include <cstddef>
#include <string>

#include "ulmarender/engine/cielab_diffusion_loop.h"
#include "ulmarender/engine/colour_conversions.h"

namespace ulma {

namespace {

unsigned char channel_byte(double value) {
    return static_cast<unsigned char>(static_cast<unsigned>(truncate_to_int(value)) & 0xFFu);
}

}  // namespace

DiffusionPalette prepare_palette(const Palette& palette) {
    DiffusionPalette prepared;
    for (int n = 0; n < kPaletteSize; ++n) {
        const double l = palette.cielab_l_table[n];
        const double a = palette.cielab_a_table[n];
        const double b = palette.cielab_b_table[n];
        prepared.l[n] = l;
        prepared.search_a[n] = (a / 100) * kSearchScale * 100;
        prepared.search_b[n] = (b / 100) * kSearchScale * 100;
        prepared.error_a[n] = (a / 100) * kErrorScale * 100;
        prepared.error_b[n] = (b / 100) * kErrorScale * 100;
        double x, y, z, red, green, blue;
        lab2xyz(x, y, z, l, a, b);
        xyz2rgb(red, green, blue, x, y, z);
        prepared.proof_bgr[n] = {channel_byte(clamp_channel(blue)), channel_byte(clamp_channel(green)),
                                 channel_byte(clamp_channel(red))};
    }
    return prepared;
}

int error_diffusion_cielab(bool proof, int img_x, int img_y, const unsigned char* img_buffer,
                           unsigned char* img_out_point, unsigned char* img_index_out_point, const char* filename,
                           std::string* problem, int threads) {
    std::string reason;
    const auto palette_data = read_palette_data(filename, reason);
    if (!palette_data) {
        if (problem != nullptr) *problem = reason;
        return 1;
    }
    diffuse_onto_palette(*palette_data, proof, img_x, img_y, img_buffer, img_out_point, img_index_out_point, threads);
    return 0;
}

void diffuse_onto_palette(const Palette& palette_data, bool proof, int img_x, int img_y,
                          const unsigned char* img_buffer, unsigned char* img_out_point,
                          unsigned char* img_index_out_point, int threads) {
    if (img_x <= 0 || img_y <= 0) return;
    const DiffusionPalette palette = prepare_palette(palette_data);
    const auto width = static_cast<std::size_t>(img_x);
    const auto height = static_cast<std::size_t>(img_y);

#if ULMA_COLOUR_FMA_BUILD
    if (common::isa::supports(common::isa::Extension::fma)) {
        diffuse_picture_fma(palette, proof, width, height, img_buffer, img_out_point, img_index_out_point, threads);
        return;
    }
#endif
    portable::diffuse_picture(palette, proof, width, height, img_buffer, img_out_point, img_index_out_point, threads);
}

}  // namespace ulma
