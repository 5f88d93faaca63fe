// Pieces of the CIELAB error diffusion, shared with its tests.
#pragma once

#include <array>
#include <cstdint>

#include "ulmarender/palette_data.h"

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
  std::array<double, kPaletteSize> error_a{};   // (a / 100) * 1.0 * 100
  std::array<double, kPaletteSize> error_b{};
  std::array<std::array<unsigned char, 3>, kPaletteSize> proof_bgr{};
};

DiffusionPalette prepare_palette(const Palette& palette);

// CIELAB of an 8-bit colour (rgb2xyz then xyz2lab).
Lab lab_of_bytes(int r, int g, int b);

// Brings a CIELAB colour into the sRGB gamut: to RGB (lab2xyz, xyz2rgb),
// channels clamped to [0, 255] (fractional values kept), and back to CIELAB
// (rgb2xyz, xyz2lab); the same results with fewer steps per channel.
Lab gamut_clip(Lab colour);

// Adds the share weight/16 of a CIELAB error, truncated toward zero, to the
// working colour `target` (L, a, b); L is then kept within [0, 100], a and b
// are not limited.
void pass_error(double* target, const double (&error)[3], int weight);

// The palette entry at the least distance, with distances truncated to
// whole numbers and equal ones won by the higher index; the search compares
// against the palette's a and b scaled by 1.5. A distance of 2^24 or more
// (or NaN) never wins; when none can win, entry 0.
int nearest_palette_entry(const DiffusionPalette& palette, Lab colour);
