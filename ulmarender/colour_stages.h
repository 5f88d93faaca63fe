// The colour stages of the renderer, called in this order by the pipeline:
// colour enhancement with the band's LUT, CIELAB error diffusion onto the
// band's eight-colour palette, and the mapping of palette indices to panel
// codes. Pixels are 3 bytes, blue, green, red, row after row; the size comes
// from the arguments (ImageX and ImageY hold the same values).
#pragma once

// Adjusts (0302: saturation/lightness offsets, noise), enhances greens and
// maps every pixel of img_buffer through the LUT file `file` into
// img_out_point. Returns 1, with "error! can not find correct lut data. "
// printed and img_out_point untouched, when the LUT file cannot be opened or
// is shorter than a whole table; 0 after a full run.
int color_enhance(int img_x, int img_y, const unsigned char* img_buffer,
                  unsigned char* img_out_point, const char* file);

// Reads the palette data file `filename` (CIELAB triplets), then diffuses the
// picture img_buffer onto it: one palette index 0..7 per pixel into
// img_index_out_point and, when gProof is 1, the chosen colours (blue, green,
// red) into img_out_point. Returns 1, with "error! can not find correct eo
// data. " printed and no output touched, when the file cannot be opened.
int error_diffusion_cielab(int img_x, int img_y, const unsigned char* img_buffer,
                           unsigned char* img_out_point, unsigned char* img_index_out_point,
                           const char* filename);

// Writes the panel code x 8 of every palette index of img_buffer (one byte
// per pixel) into all three bytes of the pixel in img_out_point.
void ulmamap_rgb(int img_x, int img_y, const unsigned char* img_buffer,
                 unsigned char* img_out_point);
