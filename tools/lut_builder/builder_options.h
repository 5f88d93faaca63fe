// Command line of morva6_lut_builder.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/lut_table.h"

namespace lut_builder {

// Ink names in the order the six-ink LUT file stores them.
inline constexpr std::array<std::string_view, kInkCount> kInkNames{"black", "white", "yellow", "red", "green", "blue"};
inline constexpr std::size_t kBlackInk = 0;
inline constexpr std::size_t kWhiteInk = 1;

// Measured colours of a typical six-ink panel (sRGB bytes): muted, dark
// primaries and a paper white well below 255.
inline constexpr std::array<Rgb8, kInkCount> kDefaultInks{{
    {28, 24, 38},     // black
    {188, 190, 180},  // white
    {196, 180, 36},   // yellow
    {130, 36, 38},    // red
    {52, 94, 66},     // green
    {36, 60, 124},    // blue
}};

struct BuilderOptions {
    std::string output;
    // The inks as the LUT file stores them (sRGB bytes) and as the panel
    // shows them (CIELAB, D65 white): the same unless given in CIELAB.
    std::array<Rgb8, kInkCount> inks = kDefaultInks;
    std::array<Lab, kInkCount> ink_colours{};
    LutLayout layout = LutLayout::morva6;
    std::vector<Lab> palette;  // the eight colours of --layout ulma (D65)
    std::string palette_file;  // where --palette read them; the output must not replace it
    TableChoices choices;
    bool identity = false;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    std::optional<BuilderOptions> options;
    std::string error;  // set when options is empty
};

// Parses the arguments after the program name. With -h/--help (--version)
// the result has `help` (`version`) set and nothing else is checked.
ParsedOptions parse_options(std::span<const std::string_view> args);

std::string usage_text();

}  // namespace lut_builder
