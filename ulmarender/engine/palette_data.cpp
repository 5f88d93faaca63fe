#include "ulmarender/engine/palette_data.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/palette_text.h"

namespace ulma {

namespace {

std::optional<Palette> to_palette(const std::optional<std::vector<common::LabColour>>& colours) {
    if (!colours) return std::nullopt;
    Palette palette;
    for (std::size_t n = 0; n < kPaletteSize; ++n) {
        palette.cielab_l_table[n] = (*colours)[n].l;
        palette.cielab_a_table[n] = (*colours)[n].a;
        palette.cielab_b_table[n] = (*colours)[n].b;
    }
    return palette;
}

}  // namespace

std::optional<Palette> parse_palette_text(std::string_view text, const std::string& source, std::string& error) {
    return to_palette(common::parse_lab_colours(text, kPaletteSize, source, error));
}

std::optional<Palette> read_palette_data(const char* filename, std::string& error) {
    error.clear();
    if (filename == nullptr || access(filename, F_OK) != 0) return std::nullopt;
    return to_palette(common::read_lab_colours(filename, kPaletteSize, error));
}

}  // namespace ulma
