// The error-diffusion engines built a second time with SSE4.1 (and SSSE3)
// turned on: a one-cycle blend in the nearest-ink search and one-instruction
// absolute value and sign in the shares. dithering.cpp uses this build when
// the processor has SSE4.1; the results are the same byte for byte.
//
// Everything that is not built per instruction set is included before the
// target switch, so that only the per-build namespace sees it.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <type_traits>
#include <vector>

#include "common/threads.h"

#include "morva6/dither/isa.h"
#include "morva6/dither/kernels.h"
#include "morva6/dither/palette.h"
#include "morva6/dither/row_progress.h"
#include "morva6/dither/scalar.h"
#include "morva6/dither/sources.h"
#include "morva6/core/render_context.h"

#if MORVA6_DIFFUSION_SSE41_BUILD
#include <emmintrin.h>
#include <smmintrin.h>

#undef MORVA6_DIFFUSION_ISA
#undef MORVA6_DIFFUSION_SSE41
#define MORVA6_DIFFUSION_ISA sse41
#define MORVA6_DIFFUSION_SSE41 1
#pragma GCC push_options
#pragma GCC target("sse4.1")

#include "morva6/dither/engines.h"

namespace morva6::diffusion {

void sse41_dither_mapped_picture(std::int32_t method, const std::uint8_t* mapped, bool bgr, std::uint8_t* index_out,
                                 std::int32_t width, std::int32_t height) {
    sse41::dither_mapped_picture(method, mapped, bgr, index_out, width, height);
}

void sse41_dither_picture_through_table(std::int32_t method, const InkColours& inks, const std::uint8_t* input,
                                        bool bgr, const std::uint8_t* table, std::uint8_t* index_out,
                                        std::int32_t width, std::int32_t height, int threads, RowsDone done) {
    sse41::dither_picture_through_table(method, inks, input, bgr, table, index_out, width, height, threads, done);
}

}  // namespace morva6::diffusion

#pragma GCC pop_options
#endif
