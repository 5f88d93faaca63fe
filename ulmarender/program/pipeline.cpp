#include "ulmarender/program/pipeline.h"

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <utility>
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
    if (problem == ulma::RenderProblem::palette_missing) {
        // A missing file keeps its message; a file that is no palette says why.
        if (rendering.palette_problem.empty())
            std::fputs("error! can not find correct eo data. ", stdout);
        else
            std::printf("error! %s\n", rendering.palette_problem.c_str());
    }
}

}  // namespace

bool my_ulma_render(const UlmaVersion& version, const char* input_path, const char* output_path,
                    const char* render_data_dir, int temp) {
    // Read once: the header reader guarantees that width x height x 4 fits
    // in 32 bits and that the file holds all the pixel bytes.
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    if (!ppm_read_picture(input_path, rgb, width, height)) return false;
    ImageX = static_cast<std::uint32_t>(width);
    ImageY = static_cast<std::uint32_t>(height);

    // The noise is seeded with the time of the run.
    const ulma::Settings settings = settings_of_run(version, static_cast<std::uint32_t>(std::time(nullptr)));
    ulma::Rendering rendering;
    const ulma::RenderProblem problem =
        ulma::render_picture(render_data_of_run(render_data_dir), settings, rgb, width, height, temp, rendering);
    print_stage_lines(settings, rendering, problem);
    if (problem != ulma::RenderProblem::none) return false;
    // The proof and the PGM change together or not at all.
    common::OutputSet outputs;
    if (gProof == 1) ppm_save(outputs, output_path, std::move(rendering.proof_rgb), width, height);
    buf_pgm_save(outputs, output_path, std::move(rendering.panel_codes));
    return save_outputs(outputs);
}
