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

#include "dithering_cell_checks.h"
#include "dithering_reference.h"
#include "morva6/dithering.h"
#include "morva6/error_diffusion_engines.h"
#include "morva6/error_diffusion_frame.h"
#include "morva6/error_diffusion_sources.h"
#include "morva6/render_context.h"

namespace {

using Engine = void (*)(const std::uint8_t*, std::uint32_t, std::uint8_t*, std::int32_t, std::int32_t,
                        std::uint8_t);


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

std::vector<std::uint8_t> run_engine(Kernel kernel, const std::vector<std::uint8_t>& mapped, std::uint32_t is_bgr,
                                     int width, int height, std::uint8_t serpentine) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0xEE);
    engine_of(kernel)(mapped.data(), is_bgr, out.data(), width, height, serpentine);
    return out;
}

// The engines are built twice (every x86-64 processor, and SSE4.1); the
// entry points pick one. Each build is checked on its own as well.
enum class Build { Dispatched, Baseline, Sse41 };

std::vector<Build> builds() {
    std::vector<Build> all = {Build::Dispatched, Build::Baseline};
#if MORVA6_DIFFUSION_SSE41_BUILD
    if (__builtin_cpu_supports("sse4.1")) all.push_back(Build::Sse41);
#endif
    return all;
}

std::string build_name(Build build) {
    return build == Build::Dispatched ? "dispatched" : build == Build::Baseline ? "baseline" : "sse4.1";
}

std::vector<std::uint8_t> run_build(Build build, Kernel kernel, const std::vector<std::uint8_t>& mapped,
                                    std::uint32_t is_bgr, int width, int height, bool serpentine) {
    if (build == Build::Dispatched) return run_engine(kernel, mapped, is_bgr, width, height, serpentine);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0xEE);
    const std::int32_t method = 2 * static_cast<int>(kernel) + (serpentine ? 1 : 0);
#if MORVA6_DIFFUSION_SSE41_BUILD
    if (build == Build::Sse41) {
        morva6::diffusion::sse41_dither_mapped_picture(method, mapped.data(), is_bgr == 1, out.data(), width, height);
        return out;
    }
#endif
    morva6::diffusion::dither_mapped_picture(method, mapped.data(), is_bgr == 1, out.data(), width, height);
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

// ---------------------------------------------------------------------------
// Share rounding.

TEST(DitheringShares, WorkedShareTables) {
    for (const auto& c : worked_shares()) {
        SCOPED_TRACE(kernel_name(c.kernel) + " error " + std::to_string(c.error));
        EXPECT_EQ(cell_shares<morva6::diffusion::ScalarCells>(c.kernel, c.error), c.shares);
        EXPECT_EQ(cell_shares<morva6::diffusion::FastCells>(c.kernel, c.error), c.shares);
    }
}

// The vector cells divide by multiply-and-shift; they must equal the plain
// quotient for every 16-bit error, in every channel.
TEST(DitheringShares, FastSharesEqualPlainQuotientForEverySixteenBitError) {
    EXPECT_EQ(share_mismatches<morva6::diffusion::FastCells>(), 0);
}

TEST(DitheringNearest, TiesGoToTheLowerIndex) {
    for (const auto& c : tie_cases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(nearest_index<morva6::diffusion::ScalarCells>(c.palette, true, c.value), c.expected);
        EXPECT_EQ(nearest_index<morva6::diffusion::FastCells>(c.palette, true, c.value), c.expected);
        // The same colour with the pixel bytes in red, green, blue order.
        const std::array<std::int16_t, 3> rgb = {c.value[2], c.value[1], c.value[0]};
        EXPECT_EQ(nearest_index<morva6::diffusion::FastCells>(c.palette, false, rgb), c.expected);
    }
}

// Distances wrap in 32 bits and compare as signed numbers: far from every
// ink, a larger true distance can come out smaller.
TEST(DitheringNearest, FastAndPlainSearchAgreeOnAnyValue) {
    long wrapped = 0;
    EXPECT_EQ(nearest_disagreements<morva6::diffusion::FastCells>(200000, wrapped), 0);
    EXPECT_EQ(nearest_disagreements<morva6::diffusion::ScalarCells>(50000, wrapped), 0);
    EXPECT_GT(wrapped, 1000);
}

// ---------------------------------------------------------------------------
// Whole engines against the slow reference.

class EngineAgreement : public DitheringTest, public ::testing::WithParamInterface<Kernel> {};

TEST_P(EngineAgreement, MatchesSlowReferenceOnRandomPictures) {
    const Kernel kernel = GetParam();
    std::mt19937 random(42 + static_cast<int>(kernel));
    const std::vector<std::pair<int, int>> sizes = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 7}, {7, 1},
                                                    {2, 5}, {5, 2}, {3, 3}, {4, 3}, {17, 9}, {31, 12}};
    for (int trial = 0; trial < 8; ++trial) {
        Palette palette{};
        std::uniform_int_distribution<int> byte(0, 255);
        for (auto& b : palette) b = static_cast<std::uint8_t>(byte(random));
        if (trial == 0) palette = kIdealInks;
        if (trial == 1) std::copy_n(palette.begin() + 3, 3, palette.begin() + 12);  // ink 4 = ink 1
        use_palette(palette);
        for (const auto& [width, height] : sizes) {
            const auto picture = trial % 2 == 0 ? random_picture(random, width, height, 0, 255)
                                                : gradient_picture(width, height);
            for (std::uint32_t is_bgr : {0u, 1u})
                for (std::uint8_t serpentine : {0, 1}) {
                    SCOPED_TRACE(kernel_name(kernel) + " " + std::to_string(width) + "x" + std::to_string(height) +
                                 " bgr " + std::to_string(is_bgr) + " serpentine " + std::to_string(serpentine) +
                                 " trial " + std::to_string(trial));
                    const auto expected =
                        reference_dither(kernel, picture, is_bgr, width, height, serpentine != 0, palette);
                    for (const Build build : builds())
                        ASSERT_EQ(run_build(build, kernel, picture, is_bgr, width, height, serpentine != 0), expected)
                            << build_name(build);
                }
        }
    }
}

// A palette far darker than the picture keeps every error positive, so the
// values climb until the 16-bit entries wrap and the distances wrap too.
TEST_P(EngineAgreement, MatchesSlowReferenceWhenEntriesAndDistancesWrap) {
    const Kernel kernel = GetParam();
    const Palette dark = {0, 0, 0, 3, 3, 3, 0, 5, 5, 0, 0, 6, 0, 7, 0, 8, 0, 0};
    use_palette(dark);
    std::mt19937 random(7);
    // Wide enough that the edges cannot drain the growing error.
    const int width = 200, height = 160;
    const auto picture = random_picture(random, width, height, 235, 255);
    for (std::uint8_t serpentine : {0, 1}) {
        ReferenceStats stats;
        const auto expected = reference_dither(kernel, picture, 1, width, height, serpentine != 0, dark, &stats);
        EXPECT_GT(stats.wrapped_values, 0);
        EXPECT_GT(stats.negative_values, 0);
        EXPECT_GT(stats.wrapped_distances, 0);
        for (const Build build : builds())
            EXPECT_EQ(run_build(build, kernel, picture, 1, width, height, serpentine != 0), expected)
                << build_name(build);
    }
}

// The plain cells run through the same frame and must agree as well: they
// are the reference form of the pixel operations and the build's fallback.
TEST_P(EngineAgreement, PlainCellsMatchSlowReference) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    std::mt19937 random(99);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 3}, {2, 2}, {13, 11}}) {
        const auto picture = random_picture(random, width, height, 0, 255);
        for (bool serpentine : {false, true}) {
            std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0xEE);
            const auto palette = morva6::diffusion::pixel_order_palette(kIdealInks, true);
            const morva6::diffusion::MappedRows rows{picture.data(), width};
            using Plain = morva6::diffusion::ScalarCells;
            if (kernel == Kernel::Floyd)
                morva6::diffusion::diffuse<morva6::diffusion::FloydSteinberg, Plain>(rows, palette, out.data(), width,
                                                                                     height, serpentine);
            else if (kernel == Kernel::Jarvis)
                morva6::diffusion::diffuse<morva6::diffusion::JarvisJudiceNinke, Plain>(rows, palette, out.data(),
                                                                                        width, height, serpentine);
            else
                morva6::diffusion::diffuse<morva6::diffusion::Stucki, Plain>(rows, palette, out.data(), width, height,
                                                                             serpentine);
            EXPECT_EQ(out, reference_dither(kernel, picture, 1, width, height, serpentine, kIdealInks));
        }
    }
}

// Every byte of index_out is written with an index 0..5 and nothing around
// it is touched, for narrow and short pictures in both scan directions.
TEST_P(EngineAgreement, WritesExactlyTheIndexBuffer) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    std::mt19937 random(5);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {1, 4}, {2, 3}, {3, 2}, {9, 5}}) {
        const auto picture = random_picture(random, width, height, 0, 255);
        const std::size_t pixels = static_cast<std::size_t>(width) * height;
        std::vector<std::uint8_t> buffer(pixels + 64, 0xEE);
        engine_of(kernel)(picture.data(), 1, buffer.data() + 32, width, height, 1);
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            const bool inside = i >= 32 && i < 32 + pixels;
            if (inside)
                EXPECT_LE(buffer[i], 5) << "byte " << i;
            else
                EXPECT_EQ(buffer[i], 0xEE) << "byte " << i;
        }
    }
}

TEST_P(EngineAgreement, EmptyPictureWritesNothing) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    const std::vector<std::uint8_t> picture(64, 100);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{0, 4}, {4, 0}, {-1, 4}, {4, -3}, {0, 0}}) {
        std::vector<std::uint8_t> out(16, 0xEE);
        engine_of(kernel)(picture.data(), 1, out.data(), width, height, 1);
        EXPECT_EQ(out, std::vector<std::uint8_t>(16, 0xEE)) << width << "x" << height;
    }
}

// A uniform picture of an ink colour has no error anywhere; with the colour
// twice in the palette the lower index is chosen everywhere.
TEST_P(EngineAgreement, UniformInkPictureKeepsItsInk) {
    const Kernel kernel = GetParam();
    Palette palette = kIdealInks;
    std::copy_n(palette.begin() + 6, 3, palette.begin() + 15);  // ink 5 = yellow too
    use_palette(palette);
    for (int ink = 0; ink < 6; ++ink) {
        const auto picture = uniform_picture(6, 5, {palette[3 * ink], palette[3 * ink + 1], palette[3 * ink + 2]});
        const int expected = ink == 5 ? 2 : ink;
        EXPECT_EQ(run_engine(kernel, picture, 1, 6, 5, 1), std::vector<std::uint8_t>(30, expected)) << ink;
    }
}

TEST_P(EngineAgreement, SingleRowIgnoresSerpentineAndAnyNonZeroFlagMeansSerpentine) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    std::mt19937 random(3);
    const auto row = random_picture(random, 11, 1, 0, 255);
    EXPECT_EQ(run_engine(kernel, row, 1, 11, 1, 0), run_engine(kernel, row, 1, 11, 1, 1));
    const auto picture = random_picture(random, 11, 6, 0, 255);
    EXPECT_EQ(run_engine(kernel, picture, 1, 11, 6, 2), run_engine(kernel, picture, 1, 11, 6, 1));
    EXPECT_EQ(run_engine(kernel, picture, 1, 11, 6, 255), run_engine(kernel, picture, 1, 11, 6, 1));
}

// With no channel order no pixel is read: every value stays black and every
// index is the ink nearest to black (ties to the lower index).
TEST_P(EngineAgreement, UnknownChannelOrderGivesInkNearestBlackEverywhere) {
    const Kernel kernel = GetParam();
    const Palette palette = {200, 200, 200, 9, 0, 0, 0, 0, 9, 50, 50, 50, 0, 9, 0, 9, 0, 0};
    use_palette(palette);
    const auto picture = uniform_picture(5, 4, {255, 255, 255});
    for (std::uint32_t is_bgr : {2u, 7u, 0xFFFFFFFFu})
        EXPECT_EQ(run_engine(kernel, picture, is_bgr, 5, 4, 1), std::vector<std::uint8_t>(20, 1)) << is_bgr;
}

// The render path looks each row up through the colour table as the scan
// reaches it; in every build that equals looking the whole picture up first.
TEST_P(EngineAgreement, LookupDuringTheScanEqualsLookupFirst) {
    const Kernel kernel = GetParam();
    std::mt19937 random(17);
    const Palette palette = {20, 22, 25, 205, 210, 200, 40, 190, 210, 16, 32, 192, 60, 140, 50, 150, 60, 35};
    use_palette(palette);
    std::vector<std::uint8_t> table(3 * 64 * 64 * 64);
    for (auto& b : table) b = static_cast<std::uint8_t>(random() & 0xFF);
    const int width = 29, height = 7;
    const auto input = random_picture(random, width, height, 0, 255);
    for (const bool bgr : {false, true}) {
        // Look-up written out: red selects the most significant part.
        std::vector<std::uint8_t> mapped(input.size());
        for (std::size_t i = 0; i < input.size(); i += 3) {
            const int red = input[i + (bgr ? 2 : 0)], green = input[i + 1], blue = input[i + (bgr ? 0 : 2)];
            const std::size_t entry = 3 * (static_cast<std::size_t>(red >> 2) * 4096 + (green >> 2) * 64 + (blue >> 2));
            for (int c = 0; c < 3; ++c) mapped[i + c] = table[entry + (bgr ? c : 2 - c)];
        }
        for (const bool serpentine : {false, true}) {
            const auto expected = reference_dither(kernel, mapped, bgr, width, height, serpentine, palette);
            const std::int32_t method = 2 * static_cast<int>(kernel) + (serpentine ? 1 : 0);
            std::vector<std::uint8_t> out(expected.size(), 0xEE);
            morva6::diffusion::dither_picture_through_table(method, input.data(), bgr, table.data(), out.data(), width,
                                                            height);
            EXPECT_EQ(out, expected) << "baseline";
#if MORVA6_DIFFUSION_SSE41_BUILD
            if (__builtin_cpu_supports("sse4.1")) {
                std::fill(out.begin(), out.end(), 0xEE);
                morva6::diffusion::sse41_dither_picture_through_table(method, input.data(), bgr, table.data(),
                                                                      out.data(), width, height);
                EXPECT_EQ(out, expected) << "sse4.1";
            }
#endif
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, EngineAgreement, ::testing::Values(Kernel::Floyd, Kernel::Jarvis, Kernel::Stucki),
                         [](const auto& info) { return kernel_name(info.param); });

}  // namespace
