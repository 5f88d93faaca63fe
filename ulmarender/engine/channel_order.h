// Pictures are read and written red, green, blue; the colour stages work on
// blue, green, red.
#pragma once

#include <span>

namespace ulma {

// Swaps the first and the third byte of every 3-byte pixel.
void rgb_bgr_img_buf_convert(std::span<unsigned char> img_buffer);

}  // namespace ulma
