// The BMP codec's row transfer, shared with the pixel streams so that a
// 24-bit blue-green-red stream can go to and from a file without passing
// through a second picture-sized record.
#pragma once

#include <morva6/morva6_image.h>

#include <cstdint>
#include <vector>

namespace morva6 {

// BMP_read, with the rows placed top row first in memory when
// `top_row_first` (BMP_read itself keeps the bottom row first).
int read_bmp(BMP* bmp, const char* path, bool top_row_first);

// The header fields BMP_init sets for a 24-bit picture, without the pixel
// block (data and palette are left as they are).
void init_bmp_header(BMP* bmp, std::int32_t width, std::int32_t height);

// BMP_save with the pixel rows taken from `data` instead of bmp->data, read
// top row first when `top_row_first`.
int save_bmp(const BMP* bmp, const std::uint8_t* data, bool top_row_first, const char* path);

// The bytes saveBMP_QW writes for a 24-bit blue-green-red stream (rows top
// first when `top_row_first`), for writers that must hold the whole file
// before it goes anywhere. Empty when the size is not at least 1 x 1 or does
// not fit.
std::vector<std::uint8_t> bgr_bmp_file(const std::uint8_t* bgr, std::int32_t width, std::int32_t height,
                                       bool top_row_first);

}  // namespace morva6
