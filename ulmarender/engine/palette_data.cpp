#include "ulmarender/engine/palette_data.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/holders.h"

namespace ulma {

namespace {

bool is_white_space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool ends_token(char c) { return c == ' ' || c == '\n'; }

}  // namespace

std::optional<Palette> parse_palette_text(std::string_view text) {
  Palette palette;
  std::size_t pos = 0;
  const auto skip_white_space = [&] {
    while (pos < text.size() && is_white_space(text[pos])) ++pos;
  };
  skip_white_space();
  if (pos == text.size()) return std::nullopt;
  for (int k = 0; pos < text.size() && k < 3 * kPaletteSize; ++k) {
    const std::size_t start = pos;
    while (pos < text.size() && !ends_token(text[pos])) ++pos;
    // atof stops at the first character it cannot use, a NUL included.
    const std::string token(text.substr(start, pos - start));
    const double value = std::atof(token.c_str());
    const int entry = k / 3;
    switch (k % 3) {
      case 0: palette.cielab_l_table[entry] = value; break;
      case 1: palette.cielab_a_table[entry] = value; break;
      default: palette.cielab_b_table[entry] = value; break;
    }
    skip_white_space();
  }
  return palette;
}

std::optional<Palette> read_palette_data(const char* filename) {
  if (filename == nullptr) return std::nullopt;
  const common::File stream(std::fopen(filename, "r"));
  if (!stream) return std::nullopt;
  std::string text;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stream.get())) > 0) text.append(chunk, got);
  if (std::ferror(stream.get())) return std::nullopt;
  return parse_palette_text(text);
}

}  // namespace ulma
