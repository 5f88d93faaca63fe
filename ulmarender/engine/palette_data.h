// The palette data file of a temperature band: eight CIELAB colours "L a b",
// one palette colour after the other, read with the project's one palette
// text reader (common/palette_text.h): blanks, tabs, commas and line ends
// separate the numbers. A file that does not hold exactly eight colours, or
// holds a word that is not a number, is refused with the file and line.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ulma {

inline constexpr int kPaletteSize = 8;

struct Palette {
    std::array<double, kPaletteSize> cielab_l_table{};
    std::array<double, kPaletteSize> cielab_a_table{};
    std::array<double, kPaletteSize> cielab_b_table{};
};

// The palette in `text`; nothing, with `error` naming `source` (and the
// line), when it is not eight colours of three numbers.
std::optional<Palette> parse_palette_text(std::string_view text, const std::string& source, std::string& error);

// Reads the file (a regular file of a palette's size) and parses it.
// Nothing when it cannot be read or is no palette: `error` is then empty
// when the file cannot be opened (a missing band file), else the reason,
// naming the file.
std::optional<Palette> read_palette_data(const char* filename, std::string& error);

}  // namespace ulma
