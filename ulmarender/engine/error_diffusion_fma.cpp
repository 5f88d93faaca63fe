// The CIELAB error diffusion built a second time with fused multiply-add
// turned on: the exact cube of lab2xyz then takes one instruction per
// product error instead of a split into halves. error_diffusion.cpp uses
// this build when the processor has the instruction; the results are the
// same bit for bit (the product error is exact either way, and nothing else
// is contracted: the project builds with -ffp-contract=off).
//
// Everything that is not built per instruction set is included before the
// target switch, so that only the per-build namespace sees it.
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "common/isa.h"
#include "common/row_progress.h"
#include "common/threads.h"
#include "ulmarender/engine/colour_tables.h"
#include "ulmarender/engine/error_diffusion.h"
#include "ulmarender/engine/palette_data.h"

#if COMMON_ISA_TARGET_BUILDS
#define ULMA_COLOUR_ISA with_fma
#define ULMA_COLOUR_FMA 1
#pragma GCC push_options
#pragma GCC target("fma")

#include "ulmarender/engine/cielab_diffusion_loop.h"

namespace ulma {

void diffuse_picture_fma(const DiffusionPalette& palette, bool proof, std::size_t width, std::size_t height,
                         const unsigned char* img_buffer, unsigned char* proof_out, unsigned char* indices,
                         int threads) {
    with_fma::diffuse_picture(palette, proof, width, height, img_buffer, proof_out, indices, threads);
}

}  // namespace ulma

#pragma GCC pop_options
#endif
