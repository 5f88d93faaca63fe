#include "ulmarender/pipeline.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "ulmarender/colour_stages.h"
#include "ulmarender/ppm_files.h"
#include "ulmarender/render_data.h"
#include "ulmarender/settings.h"

bool my_ulma_render(const char* input_path, const char* output_path, const char* render_data_dir, int temp) {
    int width = 0;
    int height = 0;
    if (!try_ppm_load(input_path, width, height)) return false;
    ImageX = static_cast<std::uint32_t>(width);
    ImageY = static_cast<std::uint32_t>(height);

    // The header reader guarantees width x height x 4 fits in 32 bits.
    const std::size_t pixel_count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<unsigned char> img_buffer(pixel_count * 3);
    if (!try_ppm_load_rgb(input_path, img_buffer, width, height)) return false;
    rgb_bgr_img_buf_convert(img_buffer);

    std::vector<unsigned char> img_out_point(pixel_count * 3);
    std::vector<unsigned char> img_buffer_temp_1(pixel_count * 3);  // proof colours
    std::vector<unsigned char> img_buffer_temp_2(pixel_count * 3);  // enhanced picture
    std::vector<unsigned char> img_g_buffer_temp(pixel_count);      // palette indices
    std::vector<unsigned char> img_out_pgm_buf(pixel_count);

    const std::string gamut_table = special_get_file_temp(render_data_dir, temp);
    const bool enhanced =
        color_enhance(width, height, img_buffer.data(), img_buffer_temp_2.data(), gamut_table.c_str()) == 0;
    // Without a usable LUT the picture goes to the diffusion as it was loaded.
    const std::vector<unsigned char>& diffusion_input = enhanced ? img_buffer_temp_2 : img_buffer;

    const std::string eo_data = special_get_eo_file_temp(render_data_dir, temp);
    const bool diffused = error_diffusion_cielab(width, height, diffusion_input.data(), img_buffer_temp_1.data(),
                                                 img_g_buffer_temp.data(), eo_data.c_str()) == 0;
    if (!diffused) {
        // Without a palette every pixel takes index 0 and the proof is black.
        std::ranges::fill(img_g_buffer_temp, 0);
        std::ranges::fill(img_buffer_temp_1, 0);
    }

    if (gProof == 1) {
        rgb_bgr_img_buf_convert(img_buffer_temp_1);
        if (!try_ppm_save(output_path, img_buffer_temp_1, width, height)) return false;
    }
    ulmamap_rgb(width, height, img_g_buffer_temp.data(), img_out_point.data());
    return try_buf_pgm_save(output_path, img_out_point, img_out_pgm_buf);
}
