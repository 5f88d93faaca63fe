// Shared inputs of the six-ink benchmarks: a 3840 x 2160 photograph (the
// bundled ladybird, enlarged; the photo-like picture if it cannot be read),
// a plausible LUT file installed as the render context, and the Mpx/s
// counter. Every case reports "Mpx/s" (millions of pixels per second of the
// thread's processor time) besides items_per_second.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <morva6/morva6.h>

#include "photo_like_picture.h"
#include "photo_picture.h"

namespace morva6_bench {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr std::int64_t kPixels = std::int64_t{kWidth} * kHeight;

// Measured-looking inks (blue, green, red each) and a table that aims each
// colour at itself, slightly more saturated.
inline const std::vector<std::uint8_t>& lut() {
    static const std::vector<std::uint8_t> block = [] {
        std::vector<std::uint8_t> bytes(OVEX_LUT_FILE_SIZE);
        const std::uint8_t inks[18] = {28, 26, 30, 200, 205, 210, 40, 190, 205, 45, 50, 170, 70, 130, 55, 140, 70, 45};
        std::copy(inks, inks + 18, bytes.begin());
        std::uint8_t* entry = bytes.data() + 18;
        for (int r = 0; r < 64; ++r)
            for (int g = 0; g < 64; ++g)
                for (int b = 0; b < 64; ++b, entry += 3) {
                    const int red = r * 4 + 2, green = g * 4 + 2, blue = b * 4 + 2;
                    const int grey = (red + green + blue) / 3;
                    auto boost = [&](int c) {
                        return static_cast<std::uint8_t>(std::clamp(grey + (c - grey) * 5 / 4, 0, 255));
                    };
                    entry[0] = boost(blue);
                    entry[1] = boost(green);
                    entry[2] = boost(red);
                }
        return bytes;
    }();
    return block;
}

// Installs lut(); false (and the case skipped) if the library refuses it.
inline bool install_lut(benchmark::State& state) {
    if (Ovex_Morva6_render_init(lut().data(), static_cast<std::int32_t>(lut().size())) == OVEX_OK) return true;
    state.SkipWithError("LUT not accepted");
    return false;
}

// The 4K picture, blue, green, red.
inline const std::vector<std::uint8_t>& picture() {
    static const std::vector<std::uint8_t> bytes = [] {
        auto photo = bench::photo_picture(MORVA6_BENCH_PHOTO, kWidth, kHeight);
        return photo.empty() ? bench::photo_like_picture(kWidth, kHeight, 7) : photo;
    }();
    return bytes;
}

// One thread and the default count of the library (when that is more).
inline std::vector<std::int64_t> thread_counts() {
    const std::int64_t all = morva6_threads();
    return all > 1 ? std::vector<std::int64_t>{1, all} : std::vector<std::int64_t>{1};
}

inline void count_pixels(benchmark::State& state, std::int64_t pixels_per_iteration = kPixels) {
    const auto pixels = pixels_per_iteration * static_cast<std::int64_t>(state.iterations());
    state.SetItemsProcessed(pixels);
    state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(pixels) * 1e-6, benchmark::Counter::kIsRate);
}

}  // namespace morva6_bench
