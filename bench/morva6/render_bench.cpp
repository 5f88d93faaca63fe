// Speed of Ovex_Morva6_render for every dithering method on a 3840 x 2160
// photo-like picture (look-up, dithering and mode 1 output together), one
// thread. "items_per_second" is pixels per second and the "Mpx/s" counter the
// same in millions, both per second of the thread's processor time (equal to
// wall time on an idle machine, steadier on a busy one). Build in Release.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <morva6/morva6.h>

#include "photo_like_picture.h"

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

// A plausible LUT file: measured-looking inks (blue, green, red each) and a
// table that aims each colour at itself, slightly more saturated.
const std::vector<std::uint8_t>& bench_lut() {
    static const std::vector<std::uint8_t> lut = [] {
        std::vector<std::uint8_t> block(OVEX_LUT_FILE_SIZE);
        const std::uint8_t inks[18] = {28, 26, 30, 200, 205, 210, 40, 190, 205,
                                       45, 50, 170, 70, 130, 55, 140, 70, 45};
        std::copy(inks, inks + 18, block.begin());
        std::uint8_t* entry = block.data() + 18;
        for (int r = 0; r < 64; ++r)
            for (int g = 0; g < 64; ++g)
                for (int b = 0; b < 64; ++b, entry += 3) {
                    const int red = r * 4 + 2, green = g * 4 + 2, blue = b * 4 + 2;
                    const int grey = (red + green + blue) / 3;
                    auto boost = [&](int c) { return static_cast<std::uint8_t>(std::clamp(grey + (c - grey) * 5 / 4, 0, 255)); };
                    entry[0] = boost(blue);
                    entry[1] = boost(green);
                    entry[2] = boost(red);
                }
        return block;
    }();
    return lut;
}

void BM_Render(benchmark::State& state) {
    const auto dither = static_cast<std::int32_t>(state.range(0));
    const auto& lut = bench_lut();
    if (Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())) != OVEX_OK) {
        state.SkipWithError("LUT not accepted");
        return;
    }
    static const std::vector<std::uint8_t> picture = bench::photo_like_picture(kWidth, kHeight, 7);
    std::vector<std::uint8_t> output(picture.size());
    for (auto _ : state) {
        const std::int32_t status =
            Ovex_Morva6_render(picture.data(), 1, output.data(), 1, kWidth, kHeight, dither, OVEX_MODE_TCON);
        if (status != OVEX_OK) state.SkipWithError("render failed");
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    const double pixels = static_cast<double>(kWidth) * kHeight;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight);
    state.counters["Mpx/s"] = benchmark::Counter(pixels * 1e-6 * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}

void dither_names(benchmark::internal::Benchmark* b) {
    b->ArgName("dither");
    for (int dither = 0; dither <= 5; ++dither) b->Arg(dither);
}

BENCHMARK(BM_Render)->Apply(dither_names)->Unit(benchmark::kMillisecond);

}  // namespace
