#include "ulmarender/program/pipeline.h"

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <vector>

#include "ulmarender/engine/render_picture.h"
#include "ulmarender/program/ppm_files.h"
#include "ulmarender/program/settings.h"

namespace {

// The console lines of the colour stages, in the order the stages reach them.
void print_stage_lines(const ulma::Settings& settings, const ulma::Rendering& rendering, ulma::RenderProblem problem) {
    if (problem == ulma::RenderProblem::bad_size) {
        std::puts("error! picture size not supported");
        return;
    }
    if (rendering.lut_missing) std::fputs("error! can not find correct lut data. ", stdout);
    if (rendering.adjusted) {
        std::printf("chroma : %lf\n", settings.sat_offset);
        std::printf("brightness : %lf\n", settings.light_offset);
    }
    if (rendering.noise_added) std::printf("noise_range : %d\n", settings.noise_range);
    if (problem == ulma::RenderProblem::palette_missing) std::fputs("error! can not find correct eo data. ", stdout);
}

}  // namespace

bool my_ulma_render(const UlmaVersion& version, const char* input_path, const char* output_path,
                    const char* render_data_dir, int temp) {
    int width = 0;
    int height = 0;
    if (!ppm_load(input_path, width, height)) return false;
    ImageX = static_cast<std::uint32_t>(width);
    ImageY = static_cast<std::uint32_t>(height);
    // The header reader guarantees width x height x 4 fits in 32 bits, and
    // that the file holds all the pixel bytes.
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (!ppm_load_rgb(input_path, rgb, width, height)) return false;

    // The noise is seeded with the time of the run.
    const ulma::Settings settings = settings_of_run(version, static_cast<std::uint32_t>(std::time(nullptr)));
    ulma::Rendering rendering;
    const ulma::RenderProblem problem = ulma::render_picture(render_data_of_run(render_data_dir), settings, rgb,
                                                             width, height, temp, rendering);
    print_stage_lines(settings, rendering, problem);
    if (problem != ulma::RenderProblem::none) return false;
    if (gProof == 1 && !ppm_save(output_path, rendering.proof_rgb, width, height)) return false;
    return buf_pgm_save(output_path, rendering.panel_codes);
}
