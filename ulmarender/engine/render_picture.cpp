#include "ulmarender/engine/render_picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "ulmarender/engine/channel_order.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/error_diffusion.h"
#include "ulmarender/engine/panel_codes.h"
#include "ulmarender/engine/render_data.h"
#include "ulmarender/engine/settings.h"

bool ulma_open_render_data(const char* render_data_dir) {
    return split_argv_lot(render_data_dir) && get_temp_data_from_wbf(gLotName, render_data_dir);
}

bool ulma_render_picture(const UlmaVersion& version, std::span<const unsigned char> rgb, int width, int height,
                         const char* render_data_dir, int temp, UlmaRendering& out) {
    // Sizes are computed in 32 bits: width x height x 4 must fit.
    if (width < 1 || height < 1 || width > INT32_MAX / 4 / height ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        std::puts("error! picture size not supported");
        return false;
    }
    ImageX = static_cast<std::uint32_t>(width);
    ImageY = static_cast<std::uint32_t>(height);
    const std::size_t pixel_count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

    std::vector<unsigned char> img_buffer(rgb.begin(), rgb.end());
    rgb_bgr_img_buf_convert(img_buffer);
    std::vector<unsigned char> img_buffer_temp_1(pixel_count * 3);  // proof colours
    std::vector<unsigned char> img_buffer_temp_2(pixel_count * 3);  // enhanced picture
    std::vector<unsigned char> img_g_buffer_temp(pixel_count);      // palette indices

    const std::string gamut_table = special_get_file_temp(render_data_dir, temp);
    const bool enhanced =
        color_enhance(version, width, height, img_buffer.data(), img_buffer_temp_2.data(), gamut_table.c_str()) == 0;
    // Without a usable LUT the picture goes to the diffusion as it was loaded.
    const std::vector<unsigned char>& diffusion_input = enhanced ? img_buffer_temp_2 : img_buffer;

    const std::string eo_data = special_get_eo_file_temp(render_data_dir, temp);
    // Without a palette there is nothing to render: the run stops.
    if (error_diffusion_cielab(width, height, diffusion_input.data(), img_buffer_temp_1.data(),
                               img_g_buffer_temp.data(), eo_data.c_str()) != 0) {
        return false;
    }

    std::vector<unsigned char> img_out_point(pixel_count * 3);
    ulmamap_rgb(width, height, img_g_buffer_temp.data(), img_out_point.data());
    out.width = width;
    out.height = height;
    out.panel_codes.resize(pixel_count);
    for (std::size_t n = 0; n < pixel_count; ++n) out.panel_codes[n] = img_out_point[n * 3];
    out.indices = std::move(img_g_buffer_temp);
    out.proof_rgb.clear();
    if (gProof == 1) {
        rgb_bgr_img_buf_convert(img_buffer_temp_1);
        out.proof_rgb = std::move(img_buffer_temp_1);
    }
    return true;
}
