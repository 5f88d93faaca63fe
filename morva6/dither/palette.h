// The palette as the dithering engines compare it: six ink colours with their
// bytes put in the channel order of the pixels being dithered.
#pragma once

#include <array>
#include <cstdint>

namespace morva6::diffusion {

inline constexpr int kInks = 6;

// colour[k][c] is the byte of ink k that pixel byte c is compared with.
using PixelOrderPalette = std::array<std::array<std::uint8_t, 3>, kInks>;

// `stored` holds the inks blue, green, red each; pixels are blue, green, red
// when `bgr` is set and red, green, blue otherwise.
inline PixelOrderPalette pixel_order_palette(const std::array<std::uint8_t, 18>& stored, bool bgr) {
    PixelOrderPalette palette{};
    for (int k = 0; k < kInks; ++k)
        for (int c = 0; c < 3; ++c) palette[k][c] = stored[3 * k + (bgr ? c : 2 - c)];
    return palette;
}

}  // namespace morva6::diffusion
