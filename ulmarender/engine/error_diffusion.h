// The CIELAB error diffusion onto the eight-colour palette of a band.
#pragma once

#include <string>

#include <array>
#include <cstdint>

#include "ulmarender/engine/palette_data.h"

namespace ulma {

// Scale of the palette's a and b in the search, and in the error.
inline constexpr double kSearchScale = 1.5;
inline constexpr double kErrorScale = 1.0;

struct Lab {
    double l;
    double a;
    double b;
};

// The palette as the diffusion uses it, worked out once per picture.
struct DiffusionPalette {
    std::array<double, kPaletteSize> l{};
    std::array<double, kPaletteSize> search_a{};  // (a / 100) * 1.5 * 100
    std::array<double, kPaletteSize> search_b{};
    std::array<double, kPaletteSize> error_a{};  // (a / 100) * 1.0 * 100
    std::array<double, kPaletteSize> error_b{};
    std::array<std::array<unsigned char, 3>, kPaletteSize> proof_bgr{};
};

DiffusionPalette prepare_palette(const Palette& palette);

// Reads the palette data file `filename` (CIELAB triplets), then diffuses the
// picture img_buffer (blue, green, red) onto it: one palette index 0..7 per
// pixel into img_index_out_point and, with `proof`, the chosen colours
// (blue, green, red) into img_out_point. Returns 1, with no output touched,
// when the file cannot be opened or is no palette (then `problem`, when
// given, receives the reason naming the file and line, or stays empty for a
// file that cannot be opened); 0 after a full run. The diffusion runs on up
// to `threads` threads, with the bytes of one.
int error_diffusion_cielab(bool proof, int img_x, int img_y, const unsigned char* img_buffer,
                           unsigned char* img_out_point, unsigned char* img_index_out_point, const char* filename,
                           std::string* problem = nullptr, int threads = 1);

// The same diffusion onto a palette already in memory (a table builder's
// measurements); nothing to fail.
void diffuse_onto_palette(const Palette& palette, bool proof, int img_x, int img_y, const unsigned char* img_buffer,
                          unsigned char* img_out_point, unsigned char* img_index_out_point, int threads = 1);

}  // namespace ulma
