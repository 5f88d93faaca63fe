// Rendering of one picture from the PPM input to the PGM of panel codes.
#pragma once

#include "ulmarender/program/version.h"

// Loads input_path, renders it with the band of `temp` of render_data_dir
// (ulma::render_picture), writes the proof image when gProof is 1 and writes
// the PGM to output_path. When the LUT cannot be read the diffusion works on
// the loaded picture itself. False when the run must end with status 1: the
// input could not be read, the band's palette data could not be read, or an
// output file was not written (the reason is printed; the files not yet
// written stay as they were).
[[nodiscard]] bool my_ulma_render(const UlmaVersion& version, const char* input_path, const char* output_path,
                                  const char* render_data_dir, int temp);
