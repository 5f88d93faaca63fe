// Size rules shared by the library and the image layer: a picture of
// width x height pixels is handled only when width x height x 4 fits a signed
// 32-bit integer, so every byte count derived from it is exact.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morva6 {

// True when width x height x 4 fits in int32_t (both sizes non-negative).
// Divides instead of multiplying, so no size can overflow the test itself.
constexpr bool picture_fits(std::int64_t width, std::int64_t height) {
    return width >= 0 && height >= 0 && (width == 0 || height <= INT32_MAX / 4 / width);
}

// Byte count of width x height pixels of `channels` bytes; callers check
// picture_fits first (channels up to 4 then cannot overflow).
constexpr std::size_t picture_bytes(std::int32_t width, std::int32_t height, int channels) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels);
}

}  // namespace morva6
