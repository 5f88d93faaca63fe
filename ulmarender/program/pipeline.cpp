#include "ulmarender/program/pipeline.h"

#include <cstddef>
#include <vector>

#include "ulmarender/engine/render_picture.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/program/ppm_files.h"

bool my_ulma_render(const UlmaVersion& version, const char* input_path, const char* output_path,
                    const char* render_data_dir, int temp) {
    int width = 0;
    int height = 0;
    if (!ppm_load(input_path, width, height)) return false;
    // The header reader guarantees width x height x 4 fits in 32 bits, and
    // that the file holds all the pixel bytes.
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (!ppm_load_rgb(input_path, rgb, width, height)) return false;

    UlmaRendering rendering;
    if (!ulma_render_picture(version, rgb, width, height, render_data_dir, temp, rendering)) return false;
    if (gProof == 1 && !ppm_save(output_path, rendering.proof_rgb, width, height)) return false;
    return buf_pgm_save(output_path, rendering.panel_codes);
}
