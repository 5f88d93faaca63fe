#include "morva6/dithering.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "morva6/error_diffusion_frame.h"
#include "morva6/error_diffusion_sources.h"
#include "morva6/render_context.h"

namespace {

using namespace morva6::diffusion;

template <class Kernel>
void dither_mapped(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                   std::int32_t width, std::int32_t height, std::uint8_t serpentine) noexcept {
    if (width < 1 || height < 1) return;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (is_bgr > 1) {
        // No channel order: nothing is read, every value stays zero, so every
        // pixel takes the ink nearest to black (distances do not depend on
        // the channel order then).
        const auto black = FastCells::Nearest(pixel_order_palette(morva6::bgr_op, true))(FastCells::zero());
        std::fill_n(index_out, pixels, black.index);
        return;
    }
    try {
        diffuse<Kernel, FastCells>(MappedRows{mapped, width}, pixel_order_palette(morva6::bgr_op, is_bgr == 1),
                                   index_out, width, height, serpentine != 0);
    } catch (const std::bad_alloc&) {
        // The engines report nothing; the work rows are allocated before any
        // index is written, so index_out is untouched.
    }
}

template <class Kernel, bool Bgr>
void dither_table_rows(const std::uint8_t* input, const std::uint8_t* table, std::uint8_t* index_out,
                       std::int32_t width, std::int32_t height, bool serpentine) {
    diffuse<Kernel, FastCells>(LookedUpRows<Bgr>{input, table, width}, pixel_order_palette(morva6::bgr_op, Bgr),
                               index_out, width, height, serpentine);
}

template <class Kernel>
void dither_table(const std::uint8_t* input, bool bgr, const std::uint8_t* table, std::uint8_t* index_out,
                  std::int32_t width, std::int32_t height, bool serpentine) {
    if (bgr)
        dither_table_rows<Kernel, true>(input, table, index_out, width, height, serpentine);
    else
        dither_table_rows<Kernel, false>(input, table, index_out, width, height, serpentine);
}

}  // namespace

void Ovex_dithering_Floyd_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                             std::int32_t width, std::int32_t height, std::uint8_t serpentine) {
    dither_mapped<FloydSteinberg>(mapped, is_bgr, index_out, width, height, serpentine);
}

void Ovex_dithering_Jarvis_Judice_Ninkle_QW(const std::uint8_t* mapped, std::uint32_t is_bgr,
                                            std::uint8_t* index_out, std::int32_t width,
                                            std::int32_t height, std::uint8_t serpentine) {
    dither_mapped<JarvisJudiceNinke>(mapped, is_bgr, index_out, width, height, serpentine);
}

void Ovex_dithering_Stucki_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                              std::int32_t width, std::int32_t height, std::uint8_t serpentine) {
    dither_mapped<Stucki>(mapped, is_bgr, index_out, width, height, serpentine);
}

namespace morva6 {

void dither_through_table(std::int32_t method, const std::uint8_t* input, bool bgr, const std::uint8_t* table,
                          std::uint8_t* index_out, std::int32_t width, std::int32_t height) {
    const bool serpentine = (method & 1) != 0;
    switch (method) {
        case 0:
        case 1:
            dither_table<FloydSteinberg>(input, bgr, table, index_out, width, height, serpentine);
            break;
        case 2:
        case 3:
            dither_table<JarvisJudiceNinke>(input, bgr, table, index_out, width, height, serpentine);
            break;
        case 4:
        case 5:
            dither_table<Stucki>(input, bgr, table, index_out, width, height, serpentine);
            break;
        default:
            break;
    }
}

}  // namespace morva6
