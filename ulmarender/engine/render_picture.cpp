#include "ulmarender/engine/render_picture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "common/threads.h"
#include "ulmarender/engine/channel_order.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/error_diffusion.h"
#include "ulmarender/engine/panel_codes.h"

namespace ulma {

namespace {

// The per-pixel copies run on the threads in ranges of this many pixels.
constexpr std::size_t kGrain = 65536;

// `pixels` (three bytes a pixel) with red and blue swapped in place.
void swap_red_blue(std::span<unsigned char> pixels, int threads) {
    common::share_ranges(pixels.size() / 3, kGrain, threads, [&] {
        return [&](std::size_t first, std::size_t end) {
            rgb_bgr_img_buf_convert(pixels.subspan(first * 3, (end - first) * 3));
        };
    });
}

// The panel code of every palette index, through ulmamap_rgb a range at a time.
void panel_codes_of(std::span<const unsigned char> indices, std::span<unsigned char> codes, int threads) {
    common::share_ranges(indices.size(), kGrain, threads, [&] {
        return [&, mapped = std::vector<unsigned char>(kGrain * 3)](std::size_t first, std::size_t end) mutable {
            const auto count = static_cast<int>(end - first);
            ulmamap_rgb(count, 1, indices.data() + first, mapped.data());
            for (int n = 0; n < count; ++n) codes[first + static_cast<std::size_t>(n)] = mapped[n * 3];
        };
    });
}

}  // namespace

RenderProblem render_picture(const RenderData& data, const Settings& settings, std::span<const unsigned char> rgb,
                             int width, int height, int temp, Rendering& out) {
    // Sizes are computed in 32 bits: width x height x 4 must fit.
    if (width < 1 || height < 1 || width > INT32_MAX / 4 / height ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        return RenderProblem::bad_size;
    }
    const std::size_t pixel_count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

    std::vector<unsigned char> img_buffer(rgb.begin(), rgb.end());
    swap_red_blue(img_buffer, settings.threads);
    std::vector<unsigned char> img_buffer_temp_1(settings.proof ? pixel_count * 3 : 0);  // proof colours
    std::vector<unsigned char> img_buffer_temp_2(pixel_count * 3);                       // enhanced picture
    std::vector<unsigned char> img_g_buffer_temp(pixel_count);                           // palette indices

    out.lut_path = band_file_path(data, BandFile::lut, temp);
    out.lut_missing =
        color_enhance(settings, width, height, img_buffer.data(), img_buffer_temp_2.data(), out.lut_path.c_str()) != 0;
    out.adjusted = !out.lut_missing && settings.stages.adjustments && settings.preprocess;
    out.noise_added = !out.lut_missing && settings.stages.adjustments && settings.noise_range > 0;
    // Without a usable LUT the picture goes to the diffusion as it was loaded.
    const std::vector<unsigned char>& diffusion_input = out.lut_missing ? img_buffer : img_buffer_temp_2;

    out.palette_path = band_file_path(data, BandFile::palette_data, temp);
    // Without a palette there is nothing to render.
    if (error_diffusion_cielab(settings.proof, width, height, diffusion_input.data(), img_buffer_temp_1.data(),
                               img_g_buffer_temp.data(), out.palette_path.c_str(), &out.palette_problem,
                               settings.threads) != 0) {
        return RenderProblem::palette_missing;
    }

    out.width = width;
    out.height = height;
    out.panel_codes.resize(pixel_count);
    panel_codes_of(img_g_buffer_temp, out.panel_codes, settings.threads);
    out.indices = std::move(img_g_buffer_temp);
    out.proof_rgb.clear();
    if (settings.proof) {
        swap_red_blue(img_buffer_temp_1, settings.threads);
        out.proof_rgb = std::move(img_buffer_temp_1);
    }
    return RenderProblem::none;
}

std::string describe(RenderProblem problem, const Rendering& rendering) {
    switch (problem) {
        case RenderProblem::none:
            return "rendered";
        case RenderProblem::bad_size:
            return "picture size not supported";
        case RenderProblem::palette_missing:
            return rendering.palette_problem.empty() ? "cannot read the palette data file " + rendering.palette_path
                                                     : rendering.palette_problem;
    }
    return "unknown problem";
}

std::string lut_warning(const Rendering& rendering) {
    return "cannot read the colour LUT file " + rendering.lut_path + "; the picture was rendered without it";
}

}  // namespace ulma
