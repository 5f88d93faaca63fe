// The engines by dither code, for each build of the frame (see
// isa.h), and the SSE4.1 build's entry points.
#pragma once

#include <algorithm>
#include <cstdint>

#include "morva6/dither/frame.h"
#include "morva6/dither/isa.h"
#include "morva6/dither/sources.h"
#include "morva6/core/render_context.h"

namespace morva6::diffusion {
inline namespace MORVA6_DIFFUSION_ISA {

// Dithers the rows of `source` with the kernel of dither code `method`
// (kernel method / 2 of Kernels, the last one for larger codes; odd codes
// serpentine). width and height at least 1; may throw std::bad_alloc before
// writing anything.
template <class Source, class... Kernel>
void dither_with(KernelList<Kernel...>, std::int32_t method, const Source& source,
                 const PixelOrderPalette& palette, std::uint8_t* index_out, std::int32_t width,
                 std::int32_t height) {
    const bool serpentine = (method & 1) != 0;
    const int chosen = std::min<int>(method >> 1, sizeof...(Kernel) - 1);
    int kernel = 0;
    (void)((kernel++ == chosen &&
            (diffuse<Kernel, FastCells>(source, palette, index_out, width, height, serpentine), true)) ||
           ...);
}

template <class Source>
void dither_method(std::int32_t method, const Source& source, const PixelOrderPalette& palette,
                   std::uint8_t* index_out, std::int32_t width, std::int32_t height) {
    dither_with(Kernels{}, method, source, palette, index_out, width, height);
}

// A picture already mapped through the colour table, pixels blue, green, red
// when `bgr`, else red, green, blue.
inline void dither_mapped_picture(std::int32_t method, const std::uint8_t* mapped, bool bgr, std::uint8_t* index_out,
                                  std::int32_t width, std::int32_t height) {
    dither_method(method, MappedRows{mapped, width}, pixel_order_palette(bgr_op, bgr), index_out, width, height);
}

// The input picture, looked up through `table` as the scan reaches it, onto
// the ink colours `inks`.
inline void dither_picture_through_table(std::int32_t method, const InkColours& inks, const std::uint8_t* input,
                                         bool bgr, const std::uint8_t* table, std::uint8_t* index_out,
                                         std::int32_t width, std::int32_t height) {
    const auto palette = pixel_order_palette(inks, bgr);
    if (bgr)
        dither_method(method, LookedUpRows<true>{input, table, width}, palette, index_out, width, height);
    else
        dither_method(method, LookedUpRows<false>{input, table, width}, palette, index_out, width, height);
}

}  // namespace MORVA6_DIFFUSION_ISA

#if MORVA6_DIFFUSION_SSE41_BUILD
// The two above in the SSE4.1 build (dithering_sse41.cpp). Call them only
// on a processor with SSE4.1.
void sse41_dither_mapped_picture(std::int32_t method, const std::uint8_t* mapped, bool bgr,
                                 std::uint8_t* index_out, std::int32_t width, std::int32_t height);
void sse41_dither_picture_through_table(std::int32_t method, const InkColours& inks, const std::uint8_t* input,
                                        bool bgr, const std::uint8_t* table, std::uint8_t* index_out,
                                        std::int32_t width, std::int32_t height);
#endif

}  // namespace morva6::diffusion
