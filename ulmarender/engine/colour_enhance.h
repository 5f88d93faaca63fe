// The first colour stage of the renderer: the optional adjustment and noise
// (version 0302), the green enhancement and the band's colour LUT. Pixels
// are 3 bytes, blue, green, red, row after row.
#pragma once

#include "ulmarender/engine/settings.h"

namespace ulma {

// Adjusts (when the stages have the adjustments: saturation/lightness
// offsets, noise), enhances greens and maps every pixel of img_buffer
// through the LUT file `file` into img_out_point. Returns 1, with
// img_out_point untouched, when the LUT file cannot be opened or is shorter
// than a whole table; 0 after a full run.
int color_enhance(const Settings& settings, int img_x, int img_y, const unsigned char* img_buffer,
                  unsigned char* img_out_point, const char* file);

// Raises the HSV value of a saturated colour, most for greens (hue 120
// degrees) and not at all for magenta (300 degrees): V becomes V to the
// power 1 - (hue distance from 300 degrees) / 180 * S * 0.75, clamped to
// [0, 1]; the colour then goes back through hsv2rgb (which truncates).
void enhance_green(int& r, int& g, int& b);

}  // namespace ulma
