// The optional picture adjustment before the colour enhancement: hue,
// saturation and lightness (or value) offsets and contrast, worked in HSL
// (modes 1 and 3) or HSV (modes 2 and 4). Pixels are 3 bytes, blue, green,
// red; `pixel_count` pixels are read from img_buffer and written to
// img_out_point (the two may be the same buffer).
#pragma once

#include <cstddef>

namespace ulma {

void image_processing(const unsigned char* img_buffer, unsigned char* img_out_point, std::size_t pixel_count,
                      double hue_offset, double sat_offset, double light_offset, double contrast, int mode);

void HSL_processing(const unsigned char* img_buffer, unsigned char* img_out_point, std::size_t pixel_count,
                    double hue_offset, double sat_offset, double light_offset, double contrast, int mode);

void HSV_processing(const unsigned char* img_buffer, unsigned char* img_out_point, std::size_t pixel_count,
                    double hue_offset, double sat_offset, double value_offset, double contrast, int mode);

}  // namespace ulma
