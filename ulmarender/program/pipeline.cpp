#include "ulmarender/program/pipeline.h"

#include <cstddef>
#include <vector>

#include "ulmarender/engine/render_picture.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/program/ppm_files.h"

bool my_ulma_render(const UlmaVersion& version, const char* input_path, const char* output_path,
                    const char* render_data_dir, int temp) {
    // Read once: the header reader guarantees that width x height x 4 fits
    // in 32 bits and that the file holds all the pixel bytes.
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    if (!ppm_read_picture(input_path, rgb, width, height)) return false;

    UlmaRendering rendering;
    if (!ulma_render_picture(version, rgb, width, height, render_data_dir, temp, rendering)) return false;
    // The proof and the PGM change together or not at all.
    common::OutputSet outputs;
    if (gProof == 1) ppm_save(outputs, output_path, rendering.proof_rgb, width, height);
    buf_pgm_save(outputs, output_path, rendering.panel_codes);
    return save_outputs(outputs);
}
