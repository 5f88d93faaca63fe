// Rearranges a rendered picture for panels whose gate and source lines are
// not wired one to one with the picture's rows and columns. Pixels move as
// whole three-byte units; their bytes are never looked at.

#include "morva6/core/tft_transfer.h"

#include <cstring>
#include <memory>
#include <new>

#include <morva6/morva6.h>

#include "morva6/core/picture_size.h"

namespace {

constexpr std::size_t kPixelBytes = 3;

std::uint8_t* pixel_at(std::uint8_t* row, std::size_t column) { return row + column * kPixelBytes; }

const std::uint8_t* pixel_at(const std::uint8_t* row, std::size_t column) { return row + column * kPixelBytes; }

// HGD: rows 2k and 2k + 1 become one row of twice the width, interleaved
// pixel by pixel; `first_row_of_pair` (0 or 1) says which of the pair comes
// first. An unpaired last row is dropped.
void fold_row_pairs(const std::uint8_t* picture, std::uint8_t* result, std::size_t width, std::size_t height,
                    std::size_t first_row_of_pair) {
    const std::size_t row_bytes = width * kPixelBytes;
    for (std::size_t k = 0; k < height / 2; ++k) {
        const std::uint8_t* first = picture + (2 * k + first_row_of_pair) * row_bytes;
        const std::uint8_t* second = picture + (2 * k + 1 - first_row_of_pair) * row_bytes;
        std::uint8_t* out = result + k * 2 * row_bytes;
        for (std::size_t c = 0; c < width; ++c) {
            std::memcpy(pixel_at(out, 2 * c), pixel_at(first, c), kPixelBytes);
            std::memcpy(pixel_at(out, 2 * c + 1), pixel_at(second, c), kPixelBytes);
        }
    }
}

// HSD: every row becomes a pair of rows of half the width; the pixels of
// even columns go to row `even_columns_row` (0 or 1) of the pair, those of
// odd columns to the other. An unpaired last column is dropped.
void unfold_rows(const std::uint8_t* picture, std::uint8_t* result, std::size_t width, std::size_t height,
                 std::size_t even_columns_row) {
    const std::size_t row_bytes = width * kPixelBytes;
    const std::size_t half = width / 2;
    const std::size_t half_bytes = half * kPixelBytes;
    for (std::size_t r = 0; r < height; ++r) {
        const std::uint8_t* in = picture + r * row_bytes;
        std::uint8_t* even_out = result + (2 * r + even_columns_row) * half_bytes;
        std::uint8_t* odd_out = result + (2 * r + 1 - even_columns_row) * half_bytes;
        for (std::size_t j = 0; j < half; ++j) {
            std::memcpy(pixel_at(even_out, j), pixel_at(in, 2 * j), kPixelBytes);
            std::memcpy(pixel_at(odd_out, j), pixel_at(in, 2 * j + 1), kPixelBytes);
        }
    }
}

// Gate swap: rows 2k and 2k + 1 change places; an unpaired last row stays.
void swap_row_pairs(std::uint8_t* picture, std::uint8_t* scratch_row, std::size_t width, std::size_t height) {
    const std::size_t row_bytes = width * kPixelBytes;
    for (std::size_t k = 0; k + 1 < height; k += 2) {
        std::uint8_t* upper = picture + k * row_bytes;
        std::uint8_t* lower = upper + row_bytes;
        std::memcpy(scratch_row, upper, row_bytes);
        std::memcpy(upper, lower, row_bytes);
        std::memcpy(lower, scratch_row, row_bytes);
    }
}

std::int32_t transfer(std::uint8_t* buffer, std::int32_t* width, std::int32_t* height, std::int32_t mode) {
    const auto w = static_cast<std::size_t>(*width);
    const auto h = static_cast<std::size_t>(*height);

    if (mode == 3) {
        const auto scratch_row = std::make_unique_for_overwrite<std::uint8_t[]>(w * kPixelBytes);
        swap_row_pairs(buffer, scratch_row.get(), w, h);
        return OVEX_OK;
    }

    const bool folds = mode == 1 || mode == 2;
    const std::int32_t result_width = folds ? *width * 2 : *width / 2;
    const std::int32_t result_height = folds ? *height / 2 : *height * 2;
    const std::size_t result_bytes = morva6::picture_bytes(result_width, result_height, 3);

    const auto work = std::make_unique_for_overwrite<std::uint8_t[]>(result_bytes);
    switch (mode) {
        case 1:
            fold_row_pairs(buffer, work.get(), w, h, 0);
            break;
        case 2:
            fold_row_pairs(buffer, work.get(), w, h, 1);
            break;
        case 4:
            unfold_rows(buffer, work.get(), w, h, 0);
            break;
        default:
            unfold_rows(buffer, work.get(), w, h, 1);
            break;
    }
    *width = result_width;
    *height = result_height;
    if (result_bytes > 0) std::memcpy(buffer, work.get(), result_bytes);
    return OVEX_OK;
}

}  // namespace

std::int32_t Ovex_TFT_format_transfer(std::uint8_t* buffer, std::int32_t* width, std::int32_t* height,
                                      std::int32_t TFT_mode) {
    if (static_cast<std::uint32_t>(TFT_mode) - 1u >= 5u) return OVEX_ERR_UNKNOWN_METHOD;
    if (buffer == nullptr || width == nullptr || height == nullptr) return OVEX_ERR_BAD_SIZE;
    if (*width < 1 || *height < 1 || !morva6::picture_fits(*width, *height)) {
        return OVEX_ERR_BAD_SIZE;
    }
    try {
        return transfer(buffer, width, height, TFT_mode);
    } catch (const std::bad_alloc&) {
        return OVEX_ERR_NO_MEMORY;
    }
}

extern "C" int32_t Ovex_TFT_transfer(uint8_t* buffer, int32_t* width, int32_t* height, int32_t mode) {
    return Ovex_TFT_format_transfer(buffer, width, height, mode);
}
