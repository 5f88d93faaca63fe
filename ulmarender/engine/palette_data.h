// The palette data file of a temperature band: whitespace-separated numbers
// read as CIELAB triplets L, a, b, one palette colour after the other. The
// palette has room for 8 colours; entries the file does not fill stay
// (0, 0, 0) and still take part in the search.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace ulma {

inline constexpr int kPaletteSize = 8;

struct Palette {
  std::array<double, kPaletteSize> cielab_l_table{};
  std::array<double, kPaletteSize> cielab_a_table{};
  std::array<double, kPaletteSize> cielab_b_table{};
};

// Tokens are runs of characters other than blank and line end; leading white
// space and the white space after each token are skipped. Each token is
// converted like atof (unreadable text counts as 0). Numbers past the 24th
// are ignored. Nothing when the text holds no number at all.
std::optional<Palette> parse_palette_text(std::string_view text);

// Reads the whole file (opened for reading only) and parses it; nothing when
// the file cannot be opened or read, or holds no number.
std::optional<Palette> read_palette_data(const char* filename);

}  // namespace ulma
