// The three output encodings of the render entry points: each pixel's ink
// index becomes three bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "morva6/core/render_context.h"

namespace morva6 {

// Bytes written for inks 0..5 (black, white, yellow, red, green, blue).
using InkBytes = std::array<std::array<std::uint8_t, 3>, 6>;

// Mode 1: the timing-controller code in all three bytes. Mode 2: the ideal
// ink colour. Mode 3: the measured ink colour of bgr_op. Modes 2
// and 3 are in the output channel order (blue, green, red when `bgr`).
// `mode` must be 1, 2 or 3.
InkBytes ink_bytes_for_mode(std::int32_t mode, bool bgr, const InkColours& bgr_op);

// Writes the bytes of inks[indices[i]] at output + 3i for every i; each
// index is 0..5.
void write_inks(std::span<const std::uint8_t> indices, const InkBytes& inks, std::uint8_t* output);

}  // namespace morva6
