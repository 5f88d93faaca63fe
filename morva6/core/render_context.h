// The render context: the six measured ink colours and the 64 x 64 x 64
// colour table, installed from a LUT file's bytes. The library's entry
// points use the process-wide default context below; the context functions
// of morva6.h take one as a value, so renders with different tables can run
// at once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/formats/lut_layout.h"

namespace morva6 {

inline constexpr std::int32_t kLutFileSize = static_cast<std::int32_t>(common::lut::kSixInkFileSize);
inline constexpr int kPaletteBytes = static_cast<int>(common::lut::kInkColourBytes);

// Ink colours 0..5 (black, white, yellow, red, green, blue), each stored
// blue, green, red.
using InkColours = std::array<std::uint8_t, kPaletteBytes>;

struct RenderContext {
    InkColours bgr_op{};
    // First table entry inside the caller's LUT block; null until installed.
    const std::uint8_t* glut = nullptr;
};

// The default context, set by Ovex_Morva6_render_init.
extern InkColours bgr_op;
extern const std::uint8_t* glut;

// A LUT block of kLutFileSize bytes installed into `context`; false (the
// context unchanged) for another size or a null block.
bool install_lut(RenderContext& context, const std::uint8_t* lut, std::int32_t size);

// Table entry of an input colour: the top six bits of each channel, red the
// most significant and blue the least. Each entry is three bytes, stored
// blue, green, red.
constexpr std::size_t lut_index(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return common::lut::index(red, green, blue);
}

}  // namespace morva6
