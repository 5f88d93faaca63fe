#include "morva6/dither/dithering.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "morva6/dither/engines.h"
#include "morva6/dither/frame.h"
#include "morva6/core/render_context.h"

namespace {

using namespace morva6::diffusion;

// Whether to run the SSE4.1 build of the engines (same results, faster).
[[maybe_unused]] bool use_sse41_build() { return common::isa::supports(common::isa::Extension::sse41); }

void dither_mapped(std::int32_t method, const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                   std::int32_t width, std::int32_t height) noexcept {
    if (width < 1 || height < 1) return;
    if (is_bgr > 1) {
        // No channel order: nothing is read, every value stays zero, so every
        // pixel takes the ink nearest to black (distances do not depend on
        // the channel order then).
        const auto black = FastCells::Nearest(pixel_order_palette(morva6::bgr_op, true))(FastCells::zero());
        std::fill_n(index_out, static_cast<std::size_t>(width) * static_cast<std::size_t>(height), black.index);
        return;
    }
    try {
#if MORVA6_DIFFUSION_SSE41_BUILD
        if (use_sse41_build())
            return sse41_dither_mapped_picture(method, mapped, is_bgr == 1, index_out, width, height);
#endif
        dither_mapped_picture(method, mapped, is_bgr == 1, index_out, width, height);
    } catch (const std::bad_alloc&) {
        // The engines report nothing; the work rows are allocated before any
        // index is written, so index_out is untouched.
    }
}

std::int32_t method_code(int kernel, std::uint8_t serpentine) { return 2 * kernel + (serpentine != 0 ? 1 : 0); }

}  // namespace

void Ovex_dithering_Floyd_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                             std::int32_t width, std::int32_t height, std::uint8_t serpentine) {
    dither_mapped(method_code(0, serpentine), mapped, is_bgr, index_out, width, height);
}

void Ovex_dithering_Jarvis_Judice_Ninkle_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                                            std::int32_t width, std::int32_t height, std::uint8_t serpentine) {
    dither_mapped(method_code(1, serpentine), mapped, is_bgr, index_out, width, height);
}

void Ovex_dithering_Stucki_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                              std::int32_t width, std::int32_t height, std::uint8_t serpentine) {
    dither_mapped(method_code(2, serpentine), mapped, is_bgr, index_out, width, height);
}

namespace morva6 {

void dither_through_table(std::int32_t method, const InkColours& inks, const std::uint8_t* input, bool bgr,
                          const std::uint8_t* table, std::uint8_t* index_out, std::int32_t width, std::int32_t height,
                          int threads, diffusion::RowsDone done) {
#if MORVA6_DIFFUSION_SSE41_BUILD
    if (use_sse41_build())
        return diffusion::sse41_dither_picture_through_table(method, inks, input, bgr, table, index_out, width, height,
                                                             threads, done);
#endif
    diffusion::dither_picture_through_table(method, inks, input, bgr, table, index_out, width, height, threads, done);
}

}  // namespace morva6
