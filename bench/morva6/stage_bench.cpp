// Speed of each stage of a render on its own, 3840 x 2160 photograph, one
// thread unless a case says otherwise: the colour-table look-up, the dithering of an already
// mapped picture (each method and scan, each build of the engines), the
// look-up fused into the dithering as the render entry points run it, and the
// three output encodings. Build in Release.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <vector>

#include <morva6/morva6.h>

#include "morva6/bench_support.h"
#include "morva6/dither/dithering.h"
#include "morva6/dither/engines.h"
#include "morva6/core/output_encoding.h"
#include "morva6/core/render_context.h"

namespace {

using namespace morva6_bench;

// The look-up as a pass of its own: every pixel through the table into a
// mapped picture (blue, green, red in and out).
void look_up(const std::uint8_t* input, std::uint8_t* mapped, std::size_t pixels) {
    const std::uint8_t* table = morva6::glut;
    for (std::size_t i = 0; i < pixels; ++i, input += 3, mapped += 3) {
        const std::uint8_t* entry = table + 3 * morva6::lut_index(input[2], input[1], input[0]);
        mapped[0] = entry[0];
        mapped[1] = entry[1];
        mapped[2] = entry[2];
    }
}

void BM_LookUp(benchmark::State& state) {
    if (!install_lut(state)) return;
    const auto& input = picture();
    std::vector<std::uint8_t> mapped(input.size());
    for (auto _ : state) {
        look_up(input.data(), mapped.data(), kPixels);
        benchmark::DoNotOptimize(mapped.data());
        benchmark::ClobberMemory();
    }
    count_pixels(state);
}
BENCHMARK(BM_LookUp)->Unit(benchmark::kMillisecond);

const std::vector<std::uint8_t>& mapped_picture() {
    static const std::vector<std::uint8_t> mapped = [] {
        std::vector<std::uint8_t> bytes(picture().size());
        look_up(picture().data(), bytes.data(), kPixels);
        return bytes;
    }();
    return mapped;
}

// Builds of the engines: 0 what the entry points pick on this processor,
// 1 the baseline (SSE2) build, 2 the SSE4.1 build.
void BM_Dither(benchmark::State& state) {
    const auto method = static_cast<std::int32_t>(state.range(0));
    const auto build = state.range(1);
    if (!install_lut(state)) return;
    const auto& mapped = mapped_picture();
#if MORVA6_DIFFUSION_SSE41_BUILD
    if (build == 2 && !__builtin_cpu_supports("sse4.1")) {
        state.SkipWithError("no SSE4.1");
        return;
    }
#else
    if (build == 2) {
        state.SkipWithError("no SSE4.1 build");
        return;
    }
#endif
    std::vector<std::uint8_t> indices(kPixels);
    for (auto _ : state) {
        switch (build) {
            case 0:
                if (method < 2)
                    Ovex_dithering_Floyd_QW(mapped.data(), 1, indices.data(), kWidth, kHeight, method & 1);
                else if (method < 4)
                    Ovex_dithering_Jarvis_Judice_Ninkle_QW(mapped.data(), 1, indices.data(), kWidth, kHeight,
                                                           method & 1);
                else
                    Ovex_dithering_Stucki_QW(mapped.data(), 1, indices.data(), kWidth, kHeight, method & 1);
                break;
            case 1:
                morva6::diffusion::dither_mapped_picture(method, mapped.data(), true, indices.data(), kWidth, kHeight);
                break;
            default:
#if MORVA6_DIFFUSION_SSE41_BUILD
                morva6::diffusion::sse41_dither_mapped_picture(method, mapped.data(), true, indices.data(), kWidth,
                                                               kHeight);
#endif
                break;
        }
        benchmark::DoNotOptimize(indices.data());
        benchmark::ClobberMemory();
    }
    count_pixels(state);
}
BENCHMARK(BM_Dither)
    ->ArgNames({"method", "build"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0}})
    ->ArgsProduct({{0, 5}, {1, 2}})
    ->Unit(benchmark::kMillisecond);

// Look-up and dithering as the render entry points run them (no mapped
// copy), on one thread and on the default count (wall time).
void BM_LookUpAndDither(benchmark::State& state) {
    const auto method = static_cast<std::int32_t>(state.range(0));
    const auto threads = static_cast<int>(state.range(1));
    if (!install_lut(state)) return;
    const auto& input = picture();
    std::vector<std::uint8_t> indices(kPixels);
    for (auto _ : state) {
        morva6::dither_through_table(method, morva6::bgr_op, input.data(), true, morva6::glut, indices.data(), kWidth,
                                     kHeight, threads, {});
        benchmark::DoNotOptimize(indices.data());
        benchmark::ClobberMemory();
    }
    count_pixels(state);
}
BENCHMARK(BM_LookUpAndDither)
    ->ArgNames({"method", "threads"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, thread_counts()})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state) {
    const auto mode = static_cast<std::int32_t>(state.range(0));
    if (!install_lut(state)) return;
    std::vector<std::uint8_t> indices(kPixels);
    morva6::dither_through_table(5, morva6::bgr_op, picture().data(), true, morva6::glut, indices.data(), kWidth,
                                 kHeight, 1, {});
    const auto inks = morva6::ink_bytes_for_mode(mode, true, morva6::bgr_op);
    std::vector<std::uint8_t> output(picture().size());
    for (auto _ : state) {
        morva6::write_inks(std::span<const std::uint8_t>(indices), inks, output.data());
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    count_pixels(state);
}
BENCHMARK(BM_Encode)->ArgName("mode")->DenseRange(1, 3)->Unit(benchmark::kMillisecond);

}  // namespace
