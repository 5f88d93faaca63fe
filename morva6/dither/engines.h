// The engines by dither code, for each build of the frame (see
// isa.h), and the SSE4.1 build's entry points.
#pragma once

#include <algorithm>
#include <cstdint>

#include "morva6/dither/frame.h"
#include "morva6/dither/isa.h"
#include "morva6/dither/sources.h"
#include "morva6/dither/wavefront.h"
#include "morva6/core/render_context.h"

namespace morva6::diffusion {
inline namespace MORVA6_DIFFUSION_ISA {

// Calls run(Kernel{}) with the kernel of dither code `method` (kernel
// method / 2 of Kernels, the last one for larger codes).
template <class Run, class... Kernel>
void with_kernel(KernelList<Kernel...>, std::int32_t method, Run&& run) {
    const int chosen = std::min<int>(method >> 1, sizeof...(Kernel) - 1);
    int kernel = 0;
    (void)((kernel++ == chosen && (run(Kernel{}), true)) || ...);
}

// Dithers the rows of `source` with the kernel of dither code `method` (odd
// codes serpentine). width and height at least 1; may throw std::bad_alloc
// before writing anything.
template <class Source>
void dither_method(std::int32_t method, const Source& source, const PixelOrderPalette& palette, std::uint8_t* index_out,
                   std::int32_t width, std::int32_t height) {
    const bool serpentine = (method & 1) != 0;
    with_kernel(Kernels{}, method, [&](auto kernel) {
        diffuse<decltype(kernel), FastCells>(source, palette, index_out, width, height, serpentine);
    });
}

// As dither_method on up to `threads` threads, reporting rows to `done` as
// they are finished (all of them at the end with one thread). Same indices
// at any thread count.
template <class Source>
void dither_method_threaded(std::int32_t method, const Source& source, const PixelOrderPalette& palette,
                            std::uint8_t* index_out, std::int32_t width, std::int32_t height, int threads,
                            RowsDone done) {
    const bool serpentine = (method & 1) != 0;
    if (threads <= 1 || height <= 1) {
        dither_method(method, source, palette, index_out, width, height);
        done(0, height);
        return;
    }
    with_kernel(Kernels{}, method, [&](auto kernel) {
        using Kernel = decltype(kernel);
        if (serpentine)
            diffuse_pipeline<Kernel, FastCells>(source, palette, index_out, width, height, true, threads, done);
        else
            diffuse_wavefront<Kernel, FastCells>(source, palette, index_out, width, height, threads, done);
    });
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
                                         std::int32_t width, std::int32_t height, int threads, RowsDone done) {
    const auto palette = pixel_order_palette(inks, bgr);
    if (bgr)
        dither_method_threaded(method, LookedUpRows<true>{input, table, width}, palette, index_out, width, height,
                               threads, done);
    else
        dither_method_threaded(method, LookedUpRows<false>{input, table, width}, palette, index_out, width, height,
                               threads, done);
}

}  // namespace MORVA6_DIFFUSION_ISA

#if MORVA6_DIFFUSION_SSE41_BUILD
// The two above in the SSE4.1 build (dithering_sse41.cpp). Call them only
// on a processor with SSE4.1.
void sse41_dither_mapped_picture(std::int32_t method, const std::uint8_t* mapped, bool bgr, std::uint8_t* index_out,
                                 std::int32_t width, std::int32_t height);
void sse41_dither_picture_through_table(std::int32_t method, const InkColours& inks, const std::uint8_t* input,
                                        bool bgr, const std::uint8_t* table, std::uint8_t* index_out,
                                        std::int32_t width, std::int32_t height, int threads, RowsDone done);
#endif

}  // namespace morva6::diffusion
