#include "tools/lut_builder/lut_table.h"

#include <algorithm>
#include <cmath>

namespace lut_builder {
namespace {

std::uint8_t to_byte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::floor(value + 0.5), 0.0, 255.0));
}

template <typename Entry>
std::vector<Rgb8> fill_table(Entry entry) {
    std::vector<Rgb8> table(kTableEntries);
    for (int r = 0; r < kGridLevels; ++r)
        for (int g = 0; g < kGridLevels; ++g)
            for (int b = 0; b < kGridLevels; ++b) {
                const Rgb8 input{cell_level(r), cell_level(g), cell_level(b)};
                table[table_index(input.r, input.g, input.b)] = entry(input);
            }
    return table;
}

}  // namespace

Rgb8 to_bytes(Rgb colour) { return {to_byte(colour.r), to_byte(colour.g), to_byte(colour.b)}; }

Rgb to_rgb(Rgb8 colour) { return {double(colour.r), double(colour.g), double(colour.b)}; }

std::vector<Rgb8> identity_table() {
    return fill_table([](Rgb8 input) { return input; });
}

std::vector<Rgb8> mapped_table(const GamutTarget& target) {
    return fill_table([&](Rgb8 input) { return to_bytes(map_colour(target, to_rgb(input))); });
}

}  // namespace lut_builder
