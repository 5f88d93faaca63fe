// LUT blocks for the render tests: six inks and a table built from a rule,
// installed as the render context and kept alive for the whole test program
// (the context points into the block).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include <morva6/morva6.h>

namespace render_test {

using Palette = std::array<std::uint8_t, 18>;  // inks 0..5, each blue, green, red
using Colour = std::array<std::uint8_t, 3>;    // blue, green, red

// Measured-looking inks, all different; ink 3 (red) is stored 0x10, 0x20, 0xC0.
inline constexpr Palette kMeasuredInks = {20, 22, 25, 205, 210, 200, 40, 190, 210,
                                          0x10, 0x20, 0xC0, 60, 140, 50, 150, 60, 35};

// The ideal inks stored blue, green, red.
inline constexpr Palette kIdealInks = {0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};

inline Colour ink_colour(const Palette& palette, int ink) {
    return {palette[3 * ink], palette[3 * ink + 1], palette[3 * ink + 2]};
}

// A LUT file's bytes: the palette, then entry(index) for every table index.
inline std::vector<std::uint8_t> make_lut(const Palette& palette, const std::function<Colour(int)>& entry) {
    std::vector<std::uint8_t> block(OVEX_LUT_FILE_SIZE);
    std::copy(palette.begin(), palette.end(), block.begin());
    for (int index = 0; index < 64 * 64 * 64; ++index) {
        const Colour c = entry(index);
        std::copy(c.begin(), c.end(), block.begin() + 18 + 3 * index);
    }
    return block;
}

// Table entry aiming every colour at the centre of its cell (blue, green, red).
inline Colour cell_centre(int index) {
    const int red = index >> 12, green = (index >> 6) & 63, blue = index & 63;
    return {static_cast<std::uint8_t>(blue * 4 + 2), static_cast<std::uint8_t>(green * 4 + 2),
            static_cast<std::uint8_t>(red * 4 + 2)};
}

// Keeps `block` alive until the program ends and returns it.
inline const std::vector<std::uint8_t>& keep(std::vector<std::uint8_t> block) {
    static std::deque<std::vector<std::uint8_t>> kept;
    kept.push_back(std::move(block));
    return kept.back();
}

// Installs `block` (kept alive) as the render context; returns the status.
inline std::int32_t install(std::vector<std::uint8_t> block) {
    const auto& kept = keep(std::move(block));
    return Ovex_Morva6_render_init(kept.data(), static_cast<std::int32_t>(kept.size()));
}

}  // namespace render_test
