// Rendering of one picture from the PPM input to the PGM of panel codes.
#pragma once

// Loads input_path, enhances it through the colour LUT of the band of
// `temp`, diffuses it onto the band's palette, writes the proof image when
// gProof is 1 and writes the PGM to output_path. When the LUT cannot be read
// the diffusion works on the loaded picture itself; when the palette data
// cannot be read every palette index is 0 and the proof image is black.
// False when the run must end with status 1: the input could not be read
// or an output file not written (the reason is printed).
bool my_ulma_render(const char* input_path, const char* output_path, const char* render_data_dir,
                    int temp);
