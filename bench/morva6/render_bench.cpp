// Speed of the library calls on a 3840 x 2160 photograph:
// Ovex_Morva6_render for every dithering method and output mode (look-up,
// dithering and encoding together) and Ovex_Morva6_render_All, on one
// thread and on the library's default count (wall time); then
// Ovex_image_adjustment and Ovex_TFT_format_transfer. Build in Release.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <morva6/morva6.h>

#include "morva6/bench_support.h"
#include "morva6/core/tft_transfer.h"

namespace {

using namespace morva6_bench;

void BM_Render(benchmark::State& state) {
    const auto dither = static_cast<std::int32_t>(state.range(0));
    const auto mode = static_cast<std::int32_t>(state.range(1));
    morva6_set_threads(static_cast<std::int32_t>(state.range(2)));
    if (!install_lut(state)) return;
    const auto& input = picture();
    std::vector<std::uint8_t> output(input.size());
    for (auto _ : state) {
        if (Ovex_Morva6_render(input.data(), 1, output.data(), 1, kWidth, kHeight, dither, mode) != OVEX_OK)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    morva6_set_threads(0);
    count_pixels(state);
}
BENCHMARK(BM_Render)
    ->ArgNames({"dither", "mode", "threads"})
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1}, thread_counts()})
    ->ArgsProduct({{0, 5}, {2, 3}, {1}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_RenderAll(benchmark::State& state) {
    const auto dither = static_cast<std::int32_t>(state.range(0));
    morva6_set_threads(static_cast<std::int32_t>(state.range(1)));
    if (!install_lut(state)) return;
    const auto& input = picture();
    std::vector<std::uint8_t> tcon(input.size()), aoi(input.size()), simulation(input.size());
    for (auto _ : state) {
        if (Ovex_Morva6_render_All(input.data(), 1, tcon.data(), aoi.data(), simulation.data(), nullptr, kWidth,
                                   kHeight, dither) != OVEX_OK)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(simulation.data());
        benchmark::ClobberMemory();
    }
    morva6_set_threads(0);
    count_pixels(state);
}
BENCHMARK(BM_RenderAll)
    ->ArgNames({"dither", "threads"})
    ->ArgsProduct({{0, 5}, thread_counts()})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Hue, saturation, brightness, contrast, gamma; "all" sets all five.
struct AdjustmentCase {
    int hue, saturation, brightness, contrast;
    double gamma;
};
constexpr AdjustmentCase kAdjustmentCases[] = {
    {30, 20, 10, 15, 1.2},  // 0: all five
    {30, 0, 0, 0, 1.0},     // 1: hue
    {0, 20, 0, 0, 1.0},     // 2: saturation
    {0, 0, 10, 15, 1.0},    // 3: brightness and contrast
    {0, 0, 0, 0, 1.2},      // 4: gamma
    {0, 0, 0, 0, 1.0},      // 5: neutral (the driver skips the call)
};

void BM_ImageAdjustment(benchmark::State& state) {
    const AdjustmentCase& a = kAdjustmentCases[state.range(0)];
    const auto& input = picture();
    std::vector<std::uint8_t> output(input.size());
    for (auto _ : state) {
        Ovex_image_adjustment(input.data(), 1, output.data(), 1, kWidth, kHeight, a.hue, a.saturation, a.brightness,
                              a.contrast, a.gamma);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    count_pixels(state);
}
BENCHMARK(BM_ImageAdjustment)->ArgName("settings")->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// In place; each iteration starts from a fresh copy of the picture, made
// outside the timed part.
void BM_TftTransfer(benchmark::State& state) {
    const auto mode = static_cast<std::int32_t>(state.range(0));
    const auto& input = picture();
    std::vector<std::uint8_t> buffer(input.size());
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(buffer.data(), input.data(), input.size());
        state.ResumeTiming();
        std::int32_t width = kWidth, height = kHeight;
        if (Ovex_TFT_format_transfer(buffer.data(), &width, &height, mode) != OVEX_OK)
            state.SkipWithError("transfer failed");
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    count_pixels(state);
}
BENCHMARK(BM_TftTransfer)->ArgName("mode")->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

}  // namespace
