// The eight-colour renderer as a library: a picture in memory, rendered with
// a render-data folder and a temperature, the palette indices, panel codes
// and proof colours out. The program's file-to-file pipeline uses the same
// entry point, so both give the same bytes.
#pragma once

#include <span>
#include <vector>

#include "ulmarender/engine/version.h"  // struct UlmaVersion; extern const UlmaVersion kUlma0302, kUlma0301;

// What one rendering gives: all three planes, width x height, top row first.
struct UlmaRendering {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> indices;      // palette index 0..7 per pixel
    std::vector<unsigned char> panel_codes;  // the PGM's pixel bytes, one per pixel
    std::vector<unsigned char> proof_rgb;    // proof colours R,G,B per pixel (what -p writes); empty unless gProof is 1
};

// Reads the lot name and temperature bands of the render-data folder into the
// process-wide settings, exactly as the program does before rendering.
// False (message printed) when the folder name or its waveform file is unusable.
bool ulma_open_render_data(const char* render_data_dir);

// Renders an R,G,B picture (top row first, width*3 bytes a row, no padding)
// with the band of `temp` of the render-data folder opened above, using the
// run settings in the process-wide variables (gProof, gSat_offset,
// gLight_offset, gNoise_range, ... as the command line sets them) and the
// stages of `version`. Prints the same messages as the program. False when
// the run must stop (for example the band's palette data cannot be read).
bool ulma_render_picture(const UlmaVersion& version, std::span<const unsigned char> rgb,
                         int width, int height, const char* render_data_dir, int temp,
                         UlmaRendering& out);
