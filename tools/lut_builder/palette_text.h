// CIELAB colours given as text (a palette data file of the eight-colour
// renderer, or "L,a,b L,a,b ..." on the command line), read by the shared
// reader of common/palette_text.h, each lightness checked to lie within
// 0..100.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lut_builder/colour_math.h"

namespace lut_builder {

inline constexpr std::size_t kPaletteColours = 8;

// Exactly `count` colours, or nothing with a reason in `error`.
std::optional<std::vector<Lab>> parse_lab_colours(std::string_view text, std::size_t count, std::string& error);

// The same from a file; the reason names the file.
std::optional<std::vector<Lab>> read_lab_colours(const std::string& path, std::size_t count, std::string& error);

}  // namespace lut_builder
