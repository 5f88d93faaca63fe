// Whole-picture pixel-format converters, the block allocator for them, and
// the grey conversion of the QM913TR5 panel.
#include <morva6/morva6_image.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "morva6/image/pixel_blocks.h"
#include "morva6/image/pixel_formats.h"
#include "morva6/core/picture_size.h"

namespace {

namespace pf = morva6::pixel_formats;

// Weights of the QM913TR5 conversion: the kept channel counts 7 times, the
// other two -2 times each; a window of three starting at k picks them.
constexpr std::array<std::int32_t, 5> gColorMatrix{-2, -2, 7, -2, -2};

template <class Layout>
int convert_from_bgr(std::uint8_t* dst, const std::uint8_t* src, std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1) return MORVA6_IMG_OK;
    if (dst == nullptr || src == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    pf::bgr_to_layout<Layout>(dst, src, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    return MORVA6_IMG_OK;
}

template <class Layout>
int convert_to_bgr(std::uint8_t* dst, const std::uint8_t* src, std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1) return MORVA6_IMG_OK;
    if (dst == nullptr || src == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    pf::layout_to_bgr<Layout>(dst, src, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    return MORVA6_IMG_OK;
}

// One destination byte: channel k of the window (0 red, 1 green, 2 blue)
// sharpened against the other two, clamped to 0..255.
std::uint8_t qm913tr5_pixel(const std::uint8_t* bgr, std::size_t k) {
    const std::int32_t sum = bgr[0] * gColorMatrix[k] + bgr[1] * gColorMatrix[k + 1] + bgr[2] * gColorMatrix[k + 2];
    if (sum > 767) return 255;
    const std::int32_t value = sum / 3;
    return value < 0 ? 0 : static_cast<std::uint8_t>(value);
}

}  // namespace

extern "C" {

int imageInit(uint8_t** image, int32_t width, int32_t height, int32_t channels) {
    if (image == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    *image = nullptr;
    const bool fits =
        channels >= 0 && morva6::picture_fits(width, height) && std::int64_t{width} * height * channels <= INT32_MAX;
    morva6::MallocBlock block;
    if (fits) {
        block = morva6::allocate_zeroed(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                        static_cast<std::size_t>(channels));
    }
    if (!block) {
        std::puts("imageInit malloc Error!!");
        return MORVA6_IMG_NO_MEMORY;
    }
    *image = block.release();
    return MORVA6_IMG_OK;
}

int BGR_to_RGB(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_from_bgr<pf::Rgb>(dst, src, width, height);
}
int BGR_to_GRAY(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_from_bgr<pf::Gray>(dst, src, width, height);
}
int BGR_to_RGBA(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_from_bgr<pf::Rgba>(dst, src, width, height);
}
int BGR_to_BGRA(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_from_bgr<pf::Bgra>(dst, src, width, height);
}
int BGR_to_ARGB(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_from_bgr<pf::Argb>(dst, src, width, height);
}
int BGR_to_ABGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_from_bgr<pf::Abgr>(dst, src, width, height);
}
int RGB_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::Rgb>(dst, src, width, height);
}
int RGBA_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::Rgba>(dst, src, width, height);
}
int BGRA_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::Bgra>(dst, src, width, height);
}
int GRAY_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::Gray>(dst, src, width, height);
}
int GrayR_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::GrayR>(dst, src, width, height);
}
int GrayG_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::GrayG>(dst, src, width, height);
}
int GrayB_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    return convert_to_bgr<pf::GrayB>(dst, src, width, height);
}

// Each pixel keeps the channel its place selects: with the row phase p (3 on
// even rows, 0 on odd rows), column x selects k = ((x + p) mod 6) / 2, so the
// kept channel changes every two columns and the pattern shifts by three
// columns from row to row.
int BGR_to_GrayQM913TR5(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height) {
    if (width < 1 || height < 1) return MORVA6_IMG_OK;
    if (dst == nullptr || src == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    const auto columns = static_cast<std::size_t>(width);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        const std::uint8_t* source_row = src + y * columns * 3;
        std::uint8_t* destination_row = dst + y * columns;
        std::size_t n = y % 2 == 0 ? 3 : 0;  // (x + p) mod 6, stepped along the row
        for (std::size_t x = 0; x < columns; ++x) {
            destination_row[x] = qm913tr5_pixel(source_row + 3 * x, n / 2);
            n = n == 5 ? 0 : n + 1;
        }
    }
    return MORVA6_IMG_OK;
}

}  // extern "C"
