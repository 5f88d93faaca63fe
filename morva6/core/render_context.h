// The library's process-wide render context: the six measured ink colours
// and the 64 x 64 x 64 colour table, installed from a LUT file's bytes.
#pragma once

#include <array>
#include <cstddef>
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

// Table entry of an input colour: the top six bits of each channel, red the
// most significant and blue the least. Each entry is three bytes, stored
// blue, green, red.
constexpr std::size_t lut_index(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return (std::size_t{red} >> 2) * 4096 + (std::size_t{green} >> 2) * 64 + (std::size_t{blue} >> 2);
}

}  // namespace morva6
