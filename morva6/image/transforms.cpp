// Geometric transforms of packed pixel buffers: nearest-neighbour resize,
// quarter and half turns, flip, mirror, crop and padding. Pixels are moved
// whole (`channels` bytes each) and never looked into, so one function serves
// grey, three-byte and four-byte pictures alike.
//
// Every function checks its arguments before it touches anything: a refused
// call or a failed allocation leaves the caller's picture and sizes as they
// were. Blocks handed to the caller are malloc'd, and the blocks they replace
// are released with free, since the caller's buffers come from malloc too.
#include <morva6/morva6_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "morva6/image/pixel_blocks.h"
#include "morva6/core/picture_size.h"

namespace {

using morva6::allocate_zeroed;
using morva6::MallocBlock;

// True when width x height pixels of `channels` bytes (and of four bytes, the
// rule of the whole layer) have byte counts that fit a signed 32-bit integer.
bool sizes_fit(std::int64_t width, std::int64_t height, std::int32_t channels) {
    return morva6::picture_fits(width, height) && width * height * channels <= INT32_MAX;
}

// Status of a picture argument: channels first, then the sizes, then a
// missing buffer for a picture that has bytes.
int check_picture(const std::uint8_t* image, std::int32_t width, std::int32_t height, std::int32_t channels) {
    if (channels < 1) return MORVA6_IMG_BAD_ARGUMENT;
    if (!sizes_fit(width, height, channels)) return MORVA6_IMG_TOO_LARGE;
    if (image == nullptr && width > 0 && height > 0) return MORVA6_IMG_BAD_ARGUMENT;
    return MORVA6_IMG_OK;
}

std::size_t pixel_offset(std::int32_t row, std::int32_t column, std::int32_t width, std::int32_t channels) {
    return (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)) *
           static_cast<std::size_t>(channels);
}

void swap_pixels(std::uint8_t* first, std::uint8_t* second, std::int32_t channels) {
    std::swap_ranges(first, first + channels, second);
}

// Quarter turn through a copy of the picture; the new picture is H wide and
// W high. Clockwise, destination (r, c) takes source (H-1-c, r); counter-
// clockwise it takes source (c, W-1-r).
int rotate_quarter(std::uint8_t* image, std::int32_t* width, std::int32_t* height, std::int32_t channels,
                   bool clockwise) {
    if (width == nullptr || height == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    const std::int32_t old_width = *width;
    const std::int32_t old_height = *height;
    if (const int status = check_picture(image, old_width, old_height, channels)) return status;

    const std::size_t bytes = morva6::picture_bytes(old_width, old_height, channels);
    std::unique_ptr<std::uint8_t[]> source(new (std::nothrow) std::uint8_t[bytes]);
    if (source == nullptr) {
        std::fputs("malloc Error!!", stdout);
        return MORVA6_IMG_NO_MEMORY;
    }
    if (bytes != 0) std::memcpy(source.get(), image, bytes);

    const std::int32_t new_width = old_height;
    const std::int32_t new_height = old_width;
    for (std::int32_t r = 0; r < new_height; ++r) {
        for (std::int32_t c = 0; c < new_width; ++c) {
            const std::int32_t source_row = clockwise ? old_height - 1 - c : c;
            const std::int32_t source_column = clockwise ? r : old_width - 1 - r;
            std::memcpy(image + pixel_offset(r, c, new_width, channels),
                        source.get() + pixel_offset(source_row, source_column, old_width, channels),
                        static_cast<std::size_t>(channels));
        }
    }
    *width = new_width;
    *height = new_height;
    return MORVA6_IMG_OK;
}

}  // namespace

extern "C" int img_resize_QW(uint8_t** image, int32_t* width, int32_t* height, int32_t new_width, int32_t new_height,
                             int32_t channels) {
    if (image == nullptr || width == nullptr || height == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    const std::int32_t old_width = *width;
    const std::int32_t old_height = *height;
    if (const int status = check_picture(*image, old_width, old_height, channels)) return status;
    if (!sizes_fit(new_width, new_height, channels)) return MORVA6_IMG_TOO_LARGE;
    const bool target_has_pixels = new_width >= 1 && new_height >= 1;
    // An empty picture has no pixel to repeat into a non-empty one.
    if (target_has_pixels && (old_width == 0 || old_height == 0)) return MORVA6_IMG_BAD_ARGUMENT;

    // The result is built in its final block, so the old picture is released
    // only once the new one exists.
    MallocBlock result = allocate_zeroed(morva6::picture_bytes(new_width, new_height, channels));
    if (result == nullptr) {
        std::puts("malloc newImage error");
        return MORVA6_IMG_NO_MEMORY;
    }
    if (target_has_pixels) {
        const double scale_x = static_cast<double>(new_width) / old_width;
        const double scale_y = static_cast<double>(new_height) / old_height;
        for (std::int32_t r = 0; r < new_height; ++r) {
            // The quotient stays below the old size; the clamp only guards it.
            const auto source_row = std::min(static_cast<std::int32_t>(r / scale_y), old_height - 1);
            for (std::int32_t c = 0; c < new_width; ++c) {
                const auto source_column = std::min(static_cast<std::int32_t>(c / scale_x), old_width - 1);
                std::memcpy(result.get() + pixel_offset(r, c, new_width, channels),
                            *image + pixel_offset(source_row, source_column, old_width, channels),
                            static_cast<std::size_t>(channels));
            }
        }
    }
    std::free(*image);
    *image = result.release();
    *width = new_width;
    *height = new_height;
    return MORVA6_IMG_OK;
}

extern "C" int img_rotation90_QW(uint8_t* image, int32_t* width, int32_t* height, int32_t channels) {
    return rotate_quarter(image, width, height, channels, true);
}

extern "C" int img_rotation270_QW(uint8_t* image, int32_t* width, int32_t* height, int32_t channels) {
    return rotate_quarter(image, width, height, channels, false);
}

// A half turn reverses the order of the pixels: swapping pixel i with pixel
// N-1-i does it in place, without a copy that could fail.
extern "C" int img_rotation180_QW(uint8_t* image, int32_t* width, int32_t* height, int32_t channels) {
    if (width == nullptr || height == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    if (const int status = check_picture(image, *width, *height, channels)) return status;
    const std::size_t count = static_cast<std::size_t>(*width) * static_cast<std::size_t>(*height);
    const auto pixel_bytes = static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < count / 2; ++i) {
        swap_pixels(image + i * pixel_bytes, image + (count - 1 - i) * pixel_bytes, channels);
    }
    return MORVA6_IMG_OK;
}

// Rows are swapped pairwise in place, so there is nothing to allocate.
extern "C" int img_flipped_QW(uint8_t* image, int32_t width, int32_t height, int32_t channels) {
    if (const int status = check_picture(image, width, height, channels)) return status;
    morva6::reverse_rows(image, static_cast<std::size_t>(width) * static_cast<std::size_t>(channels),
                         static_cast<std::size_t>(height));
    return MORVA6_IMG_OK;
}

// Pixels are swapped pairwise within each row, in place.
extern "C" int img_mirror_QW(uint8_t* image, int32_t width, int32_t height, int32_t channels) {
    if (const int status = check_picture(image, width, height, channels)) return status;
    for (std::int32_t r = 0; r < height; ++r) {
        for (std::int32_t c = 0; c < width / 2; ++c) {
            swap_pixels(image + pixel_offset(r, c, width, channels),
                        image + pixel_offset(r, width - 1 - c, width, channels), channels);
        }
    }
    return MORVA6_IMG_OK;
}

extern "C" int img_crop_QW(const uint8_t* image, int32_t width, int32_t height, int32_t channels, uint8_t** out,
                           int32_t* out_width, int32_t* out_height, int32_t x_start, int32_t y_start, int32_t x_end,
                           int32_t y_end) {
    if (out == nullptr || out_width == nullptr || out_height == nullptr) {
        return MORVA6_IMG_BAD_ARGUMENT;
    }
    if (const int status = check_picture(image, width, height, channels)) return status;
    if (x_start < 0 || y_start < 0 || x_end > width || y_end > height) {
        return MORVA6_IMG_OUT_OF_RANGE;
    }
    if (x_end < x_start || y_end < y_start) return MORVA6_IMG_BAD_ARGUMENT;

    const std::int32_t new_width = x_end - x_start;
    const std::int32_t new_height = y_end - y_start;
    MallocBlock result = allocate_zeroed(morva6::picture_bytes(new_width, new_height, channels));
    if (result == nullptr) {
        std::puts("malloc newImage error");
        return MORVA6_IMG_NO_MEMORY;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(new_width) * static_cast<std::size_t>(channels);
    if (row_bytes != 0) {
        for (std::int32_t r = 0; r < new_height; ++r) {
            std::memcpy(result.get() + static_cast<std::size_t>(r) * row_bytes,
                        image + pixel_offset(y_start + r, x_start, width, channels), row_bytes);
        }
    }
    *out = result.release();
    *out_width = new_width;
    *out_height = new_height;
    return MORVA6_IMG_OK;
}

extern "C" int img_padding_QW(uint8_t** image, int32_t* width, int32_t* height, int32_t channels, int32_t left,
                              int32_t top, int32_t right, int32_t bottom) {
    if (image == nullptr || width == nullptr || height == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    const std::int32_t old_width = *width;
    const std::int32_t old_height = *height;
    if (const int status = check_picture(*image, old_width, old_height, channels)) return status;
    if (left < 0 || top < 0 || right < 0 || bottom < 0) return MORVA6_IMG_BAD_ARGUMENT;
    const std::int64_t wide = std::int64_t{old_width} + left + right;
    const std::int64_t high = std::int64_t{old_height} + top + bottom;
    if (!sizes_fit(wide, high, channels)) return MORVA6_IMG_TOO_LARGE;

    const auto new_width = static_cast<std::int32_t>(wide);
    const auto new_height = static_cast<std::int32_t>(high);
    const std::size_t new_bytes = morva6::picture_bytes(new_width, new_height, channels);
    MallocBlock result = allocate_zeroed(new_bytes);  // black borders
    if (result == nullptr) {
        std::puts("malloc newImage error");
        return MORVA6_IMG_NO_MEMORY;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(old_width) * static_cast<std::size_t>(channels);
    if (row_bytes != 0) {
        for (std::int32_t r = 0; r < old_height; ++r) {
            std::memcpy(result.get() + pixel_offset(top + r, left, new_width, channels),
                        *image + static_cast<std::size_t>(r) * row_bytes, row_bytes);
        }
    }
    std::free(*image);
    *image = result.release();
    *width = new_width;
    *height = new_height;
    return MORVA6_IMG_OK;
}
