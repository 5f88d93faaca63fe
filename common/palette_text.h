// CIELAB colours written as text: the palette data file of a temperature
// band ("L a b" per colour), a palette given to the tools, or a value on
// the command line ("L,a,b L,a,b ..."). Blanks, tabs, commas and line ends
// all separate numbers; each number is a plain decimal (a leading '+' is
// allowed). One reader for the renderer, the LUT builder and the
// render-data builder, so that they never read one file differently.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

inline constexpr std::size_t kPaletteColours = 8;
// Far more than eight colours need; a larger file is not a palette.
inline constexpr std::size_t kMaxPaletteFileBytes = std::size_t{64} << 10;

struct LabColour {
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// Exactly `count` colours. Otherwise nothing, with `error` naming the
// source and, for a word that is not a number, its line:
// "SOURCE:3: 'x' is not a number"; an empty `source` is left out.
std::optional<std::vector<LabColour>> parse_lab_colours(std::string_view text, std::size_t count,
                                                        const std::string& source, std::string& error);

// The same from a file, read with a bound (regular files only).
std::optional<std::vector<LabColour>> read_lab_colours(const std::string& path, std::size_t count, std::string& error);

}  // namespace common
