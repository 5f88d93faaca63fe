// Where the error-diffusion frame gets each row's pixel bytes from: a picture
// already mapped through the colour table, or the input picture mapped
// through the table on the fly as each row is reached.
#pragma once

#include <cstddef>
#include <cstdint>

#include "morva6/render_context.h"

namespace morva6::diffusion {

// Adds pixel row y of `pixels` (width pixels of three bytes) into `cells`,
// four 16-bit entries per column.
struct MappedRows {
    const std::uint8_t* pixels;
    std::int32_t width;

    void add_row(std::int32_t y, std::uint16_t* cells) const {
        const std::uint8_t* pixel = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
        for (std::int32_t x = 0; x < width; ++x, pixel += 3, cells += 4) {
            cells[0] = static_cast<std::uint16_t>(cells[0] + pixel[0]);
            cells[1] = static_cast<std::uint16_t>(cells[1] + pixel[1]);
            cells[2] = static_cast<std::uint16_t>(cells[2] + pixel[2]);
        }
    }
};

// Adds row y of the input picture as it reads after the colour-table
// look-up: the entry of each pixel's colour (stored blue, green, red), in the
// pixel's own channel order (blue, green, red when Bgr, else red, green, blue).
template <bool Bgr>
struct LookedUpRows {
    const std::uint8_t* pixels;
    const std::uint8_t* table;
    std::int32_t width;

    void add_row(std::int32_t y, std::uint16_t* cells) const {
        const std::uint8_t* pixel = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
        for (std::int32_t x = 0; x < width; ++x, pixel += 3, cells += 4) {
            if constexpr (Bgr) {
                const std::uint8_t* entry = table + 3 * lut_index(pixel[2], pixel[1], pixel[0]);
                cells[0] = static_cast<std::uint16_t>(cells[0] + entry[0]);
                cells[1] = static_cast<std::uint16_t>(cells[1] + entry[1]);
                cells[2] = static_cast<std::uint16_t>(cells[2] + entry[2]);
            } else {
                const std::uint8_t* entry = table + 3 * lut_index(pixel[0], pixel[1], pixel[2]);
                cells[0] = static_cast<std::uint16_t>(cells[0] + entry[2]);
                cells[1] = static_cast<std::uint16_t>(cells[1] + entry[1]);
                cells[2] = static_cast<std::uint16_t>(cells[2] + entry[0]);
            }
        }
    }
};

}  // namespace morva6::diffusion
