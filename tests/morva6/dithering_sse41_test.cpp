// The SSE4.1 build of the vector cells (error_diffusion_isa.h): shares for
// every 16-bit error and the nearest-ink search, against the plain rules.
// The checks are instantiated here inside the same target switch the
// library's SSE4.1 build uses, and run only on processors with SSE4.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "dithering_reference.h"
#include "morva6/error_diffusion_isa.h"
#include "morva6/error_diffusion_kernels.h"
#include "morva6/error_diffusion_palette.h"
#include "morva6/error_diffusion_scalar.h"

#if MORVA6_DIFFUSION_SSE41_BUILD
#include <emmintrin.h>
#include <smmintrin.h>

#undef MORVA6_DIFFUSION_ISA
#undef MORVA6_DIFFUSION_SSE41
#define MORVA6_DIFFUSION_ISA sse41
#define MORVA6_DIFFUSION_SSE41 1
#pragma GCC push_options
#pragma GCC target("sse4.1")

#include "dithering_cell_checks.h"
#include "morva6/error_diffusion_vector.h"

namespace {

using Sse41Cells = morva6::diffusion::sse41::VectorCells;

long sse41_share_mismatches() { return share_mismatches<Sse41Cells>(); }

std::array<int, 4> sse41_cell_shares(Kernel kernel, int error) { return cell_shares<Sse41Cells>(kernel, error); }

int sse41_nearest_index(const Palette& palette, bool bgr, std::array<std::int16_t, 3> value) {
    return nearest_index<Sse41Cells>(palette, bgr, value);
}

long sse41_nearest_disagreements(int trials, long& wrapped) {
    return nearest_disagreements<Sse41Cells>(trials, wrapped);
}

}  // namespace

#pragma GCC pop_options

namespace {

bool has_sse41() { return __builtin_cpu_supports("sse4.1") != 0; }

TEST(DitheringSse41, SharesEqualPlainQuotient) {
    if (!has_sse41()) GTEST_SKIP() << "no SSE4.1";
    for (const auto& c : worked_shares()) EXPECT_EQ(sse41_cell_shares(c.kernel, c.error), c.shares) << c.error;
    EXPECT_EQ(sse41_share_mismatches(), 0);
}

TEST(DitheringSse41, NearestInkAsThePlainRule) {
    if (!has_sse41()) GTEST_SKIP() << "no SSE4.1";
    for (const auto& c : tie_cases()) EXPECT_EQ(sse41_nearest_index(c.palette, true, c.value), c.expected) << c.what;
    long wrapped = 0;
    EXPECT_EQ(sse41_nearest_disagreements(200000, wrapped), 0);
    EXPECT_GT(wrapped, 1000);
}

}  // namespace
#endif
