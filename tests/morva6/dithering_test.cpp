// The three error-diffusion engines: worked examples, share rounding, the
// nearest-ink rule, scan order and edges, and agreement with a slow
// reference written from the rules on many random pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "morva6/dithering.h"
#include "morva6/error_diffusion_frame.h"
#include "morva6/error_diffusion_sources.h"
#include "morva6/render_context.h"

namespace {

using Palette = std::array<std::uint8_t, 18>;
using Engine = void (*)(const std::uint8_t*, std::uint32_t, std::uint8_t*, std::int32_t, std::int32_t,
                        std::uint8_t);

enum class Kernel { Floyd, Jarvis, Stucki };

// The ideal inks stored blue, green, red: black, white, yellow, red, green, blue.
constexpr Palette kIdealInks = {0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};

Engine engine_of(Kernel kernel) {
    switch (kernel) {
        case Kernel::Floyd:
            return Ovex_dithering_Floyd_QW;
        case Kernel::Jarvis:
            return Ovex_dithering_Jarvis_Judice_Ninkle_QW;
        default:
            return Ovex_dithering_Stucki_QW;
    }
}

std::string kernel_name(Kernel kernel) {
    return kernel == Kernel::Floyd ? "Floyd" : kernel == Kernel::Jarvis ? "Jarvis" : "Stucki";
}

std::vector<std::uint8_t> run_engine(Kernel kernel, const std::vector<std::uint8_t>& mapped, std::uint32_t is_bgr,
                                     int width, int height, std::uint8_t serpentine) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0xEE);
    engine_of(kernel)(mapped.data(), is_bgr, out.data(), width, height, serpentine);
    return out;
}

// ---------------------------------------------------------------------------
// Slow reference: full error rows with guard columns, shares added into memory
// one by one, rows copied on rotation; shares by floating-point floor/trunc.

struct ReferenceKernel {
    int guard;
    int rows;
    int divisor;
    bool floor_rounding;
    // weights[row][offset + 2] for a left-to-right row.
    int weights[3][5];
};

ReferenceKernel reference_kernel(Kernel kernel) {
    switch (kernel) {
        case Kernel::Floyd:
            return {1, 2, 16, true, {{0, 0, 0, 7, 0}, {0, 3, 5, 1, 0}, {0, 0, 0, 0, 0}}};
        case Kernel::Jarvis:
            return {2, 3, 48, false, {{0, 0, 0, 7, 5}, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}}};
        default:
            return {2, 3, 42, false, {{0, 0, 0, 8, 4}, {2, 4, 8, 4, 2}, {1, 2, 4, 2, 1}}};
    }
}

int reference_share(const ReferenceKernel& k, int weight, int error) {
    const double exact = static_cast<double>(weight) * error / k.divisor;
    return static_cast<int>(k.floor_rounding ? std::floor(exact) : std::trunc(exact));
}

std::vector<std::uint8_t> reference_dither(Kernel which, const std::vector<std::uint8_t>& mapped,
                                           std::uint32_t is_bgr, int width, int height, bool serpentine,
                                           const Palette& palette) {
    if (width < 1 || height < 1) return {};
    const ReferenceKernel k = reference_kernel(which);
    const int columns = width + 2 * k.guard;
    std::vector<std::vector<std::uint16_t>> rows(k.rows, std::vector<std::uint16_t>(columns * 3, 0));
    auto entry = [&](int row, int x, int c) -> std::uint16_t& { return rows[row][(x + k.guard) * 3 + c]; };
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height);
    const bool reads_pixels = is_bgr <= 1;
    for (int y = 0; y < height; ++y) {
        if (reads_pixels)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) entry(0, x, c) += mapped[(y * width + x) * 3 + c];
        const bool right_to_left = serpentine && y % 2 == 1;
        const int dir = right_to_left ? -1 : 1;
        for (int n = 0; n < width; ++n) {
            const int x = right_to_left ? width - 1 - n : n;
            int value[3];
            for (int c = 0; c < 3; ++c) value[c] = static_cast<std::int16_t>(entry(0, x, c));
            // Palette byte compared with pixel byte c.
            auto ink = [&](int index, int c) { return palette[3 * index + (is_bgr == 0 ? 2 - c : c)]; };
            int best = 0;
            std::int32_t best_distance = 0;
            for (int index = 0; index < 6; ++index) {
                std::uint32_t d = 0;
                for (int c = 0; c < 3; ++c) {
                    const std::uint32_t diff = static_cast<std::uint32_t>(ink(index, c) - value[c]);
                    d += diff * diff;
                }
                const auto distance = static_cast<std::int32_t>(d);
                if (index == 0 || distance < best_distance) {
                    best = index;
                    best_distance = distance;
                }
            }
            out[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(best);
            if (!reads_pixels) continue;
            for (int c = 0; c < 3; ++c) {
                const int error = static_cast<std::int16_t>(value[c] - ink(best, c));
                for (int row = 0; row < k.rows; ++row)
                    for (int offset = -2; offset <= 2; ++offset) {
                        const int weight = k.weights[row][offset + 2];
                        if (weight == 0) continue;
                        entry(row, x + dir * offset, c) += static_cast<std::uint16_t>(reference_share(k, weight, error));
                    }
            }
        }
        for (int row = 0; row + 1 < k.rows; ++row) rows[row] = rows[row + 1];
        std::fill(rows.back().begin(), rows.back().end(), 0);
    }
    return out;
}

// ---------------------------------------------------------------------------

class DitheringTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = morva6::bgr_op; }
    void TearDown() override { morva6::bgr_op = saved_; }
    static void use_palette(const Palette& palette) { morva6::bgr_op = palette; }

private:
    Palette saved_{};
};

std::vector<std::uint8_t> uniform_picture(int width, int height, std::array<std::uint8_t, 3> pixel) {
    std::vector<std::uint8_t> picture;
    for (int i = 0; i < width * height; ++i) picture.insert(picture.end(), pixel.begin(), pixel.end());
    return picture;
}

// Worked example: 4 x 3 pixels of blue 90, green 90, red 160 against the
// ideal inks.
struct WorkedExample {
    Kernel kernel;
    bool serpentine;
    std::vector<std::uint8_t> expected;
};

TEST_F(DitheringTest, WorkedExamplesInBothByteOrders) {
    const std::vector<WorkedExample> examples = {
        {Kernel::Floyd, false, {3, 4, 3, 5, 3, 5, 2, 3, 1, 3, 5, 2}},
        {Kernel::Floyd, true, {3, 4, 3, 5, 5, 3, 1, 3, 3, 4, 3, 5}},
        {Kernel::Jarvis, false, {3, 3, 3, 3, 3, 4, 5, 2, 1, 5, 3, 1}},
        {Kernel::Jarvis, true, {3, 3, 3, 3, 3, 4, 1, 0, 5, 3, 1, 0}},
        {Kernel::Stucki, false, {3, 3, 3, 0, 0, 1, 1, 3, 3, 0, 0, 1}},
        {Kernel::Stucki, true, {3, 3, 3, 0, 0, 1, 0, 1, 3, 0, 1, 3}},
    };
    use_palette(kIdealInks);
    const auto bgr = uniform_picture(4, 3, {90, 90, 160});
    const auto rgb = uniform_picture(4, 3, {160, 90, 90});
    for (const auto& example : examples) {
        SCOPED_TRACE(kernel_name(example.kernel) + (example.serpentine ? " serpentine" : ""));
        EXPECT_EQ(run_engine(example.kernel, bgr, 1, 4, 3, example.serpentine), example.expected);
        EXPECT_EQ(run_engine(example.kernel, rgb, 0, 4, 3, example.serpentine), example.expected);
        EXPECT_EQ(reference_dither(example.kernel, bgr, 1, 4, 3, example.serpentine, kIdealInks), example.expected);
    }
}

}  // namespace
