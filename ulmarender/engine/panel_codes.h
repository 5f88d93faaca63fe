// Palette indices to panel codes, the last colour stage of the renderer.
#pragma once

namespace ulma {

// Writes the panel code x 8 of every palette index of img_buffer (one byte
// per pixel) into all three bytes of the pixel in img_out_point.
void ulmamap_rgb(int img_x, int img_y, const unsigned char* img_buffer, unsigned char* img_out_point);

}  // namespace ulma
