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
// index is 0..5. Four pixels at a time from a table of the 1296 quadruples
// (twelve bytes each), built once, so a picture may be written in pieces
// (by several threads at once: write() only reads the writer).
class InkWriter {
  public:
    explicit InkWriter(const InkBytes& inks);
    void write(std::span<const std::uint8_t> indices, std::uint8_t* output) const;

  private:
    // Stored sixteen bytes wide: the four extra bytes belong to the next
    // quadruple, which rewrites them.
    struct Quad {
        std::uint8_t bytes[16];
    };
    InkBytes inks_;
    std::array<Quad, 6 * 6 * 6 * 6> quads_{};
};

inline void write_inks(std::span<const std::uint8_t> indices, const InkBytes& inks, std::uint8_t* output) {
    InkWriter(inks).write(indices, output);
}

}  // namespace morva6
