// Where the error-diffusion frame gets each row's pixel bytes from: a picture
// already mapped through the colour table, or the input picture mapped
// through the table on the fly as each row is reached.
#pragma once

#include <cstddef>
#include <cstdint>

#include "morva6/core/render_context.h"

namespace morva6::diffusion {

// A picture's three bytes of column x as one number, byte c at bits 8c.
inline std::uint32_t pixel_bytes(const std::uint8_t* pixel) {
    return std::uint32_t{pixel[0]} | std::uint32_t{pixel[1]} << 8 | std::uint32_t{pixel[2]} << 16;
}

// Rows of a picture already mapped through the colour table (width pixels
// of three bytes per row).
struct MappedRows {
    const std::uint8_t* pixels;
    std::int32_t width;

    struct Row {
        const std::uint8_t* pixels;
        std::uint32_t bytes(std::int32_t x) const { return pixel_bytes(pixels + 3 * static_cast<std::ptrdiff_t>(x)); }
    };

    Row row(std::int32_t y) const {
        return {pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3};
    }
};

// Rows of the input picture as they read after the colour-table look-up:
// the entry of each pixel's colour (stored blue, green, red), in the pixel's
// own channel order (blue, green, red when Bgr, else red, green, blue).
template <bool Bgr>
struct LookedUpRows {
    const std::uint8_t* pixels;
    const std::uint8_t* table;
    std::int32_t width;

    struct Row {
        const std::uint8_t* pixels;
        const std::uint8_t* table;
        std::uint32_t bytes(std::int32_t x) const {
            const std::uint8_t* pixel = pixels + 3 * static_cast<std::ptrdiff_t>(x);
            if constexpr (Bgr) {
                return pixel_bytes(table + 3 * lut_index(pixel[2], pixel[1], pixel[0]));
            } else {
                const std::uint8_t* entry = table + 3 * lut_index(pixel[0], pixel[1], pixel[2]);
                return std::uint32_t{entry[2]} | std::uint32_t{entry[1]} << 8 | std::uint32_t{entry[0]} << 16;
            }
        }
    };

    Row row(std::int32_t y) const {
        return {pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3, table};
    }
};

}  // namespace morva6::diffusion
