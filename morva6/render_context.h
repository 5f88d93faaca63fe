// The library's process-wide render context: the six measured ink colours
// and the 64 x 64 x 64 colour table, installed from a LUT file's bytes.
#pragma once

#include <array>
#include <cstdint>

namespace morva6 {

inline constexpr std::int32_t kLutFileSize = 786450;
inline constexpr int kPaletteBytes = 18;

// Ink colours 0..5 (black, white, yellow, red, green, blue), each stored
// blue, green, red.
extern std::array<std::uint8_t, kPaletteBytes> bgr_op;
// First table entry inside the caller's LUT block; null until the first
// successful initialisation.
extern const std::uint8_t* glut;

}  // namespace morva6
