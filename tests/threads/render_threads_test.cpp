// The render entry points at 1, 2, 3 and 7 threads: every method, mode and
// channel order on pictures of odd sizes, single rows and columns, and
// fewer rows than threads, hashed and compared with the hashes the
// straightforward single-thread implementation produced (never
// re-recorded). Also run under ThreadSanitizer (ctest label "threads").
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <morva6/morva6.h>

#include "common/threads.h"
#include "morva6/golden_inputs.h"
#include "tests/support/support.h"

namespace {

using namespace golden_inputs;
using test_support::Hash;

class Threads : public GoldenTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        GoldenTest::SetUp();
        morva6_set_threads(GetParam());
    }
    void TearDown() override {
        morva6_set_threads(0);
        GoldenTest::TearDown();
    }
};

INSTANTIATE_TEST_SUITE_P(Counts, Threads, ::testing::Values(1, 2, 3, 7));

// Hash of Ovex_Morva6_render over every size, mode and flag pair, for one
// dither code and LUT.
std::uint64_t render_hash(int dither) {
    Hash hash;
    std::uint64_t seed = 100;
    for (const Size s : kSizes) {
        const auto picture = test_picture(s.width, s.height, ++seed);
        for (const auto& [in_bgr, out_bgr] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{1, 0}})
            for (int mode = 1; mode <= 3; ++mode) {
                std::vector<std::uint8_t> out(picture.size(), 0xA5);
                EXPECT_EQ(
                    Ovex_Morva6_render(picture.data(), in_bgr, out.data(), out_bgr, s.width, s.height, dither, mode),
                    OVEX_OK);
                hash.add(out);
            }
    }
    return hash.value();
}

constexpr std::array<std::uint64_t, 6> kRenderHashes = {
    0xCD1A588CFC4B8AB6ULL, 0x4B572FDC3EB533B5ULL, 0x3BBA0377C4577AF7ULL,
    0x341396AAD313796DULL, 0x55666C9A6625F060ULL, 0x78FD7157F33CC170ULL,
};
constexpr std::array<std::uint64_t, 6> kRenderTiedInksHashes = {
    0x315808988CDBD837ULL, 0x8675C162F305B5E8ULL, 0x054C63CD8157EC21ULL,
    0x4795608994C23D6AULL, 0x7D3340F3B4065628ULL, 0xD82C6A736DC6BD41ULL,
};

TEST_P(Threads, RenderEveryDitherModeAndChannelOrder) {
    const auto lut = test_lut(1, false);
    install(lut);
    for (int dither = 0; dither <= 5; ++dither) EXPECT_EQ(render_hash(dither), kRenderHashes[dither]) << dither;
    const auto tied = test_lut(2, true);
    install(tied);
    for (int dither = 0; dither <= 5; ++dither)
        EXPECT_EQ(render_hash(dither), kRenderTiedInksHashes[dither]) << "tied inks " << dither;
}

constexpr std::array<std::uint64_t, 6> kRenderAllHashes = {
    0xBA9A4A198CC9229DULL, 0xB034CCA04B858766ULL, 0x07DA8D81515F2BBEULL,
    0xC396D8BCF017BE75ULL, 0xE8EF0F0ED5F2E89BULL, 0xB5E796FBFF9F3A97ULL,
};

TEST_P(Threads, RenderAllWritesTheThreeModes) {
    const auto lut = test_lut(3, false);
    install(lut);
    for (int dither = 0; dither <= 5; ++dither) {
        Hash hash;
        std::uint64_t seed = 200;
        for (const Size s : kSizes)
            for (int bgr = 0; bgr <= 1; ++bgr) {
                const auto picture = test_picture(s.width, s.height, ++seed);
                std::vector<std::uint8_t> tcon(picture.size(), 1), aoi(picture.size(), 2), sim(picture.size(), 3);
                EXPECT_EQ(Ovex_Morva6_render_All(picture.data(), bgr, tcon.data(), aoi.data(), sim.data(), nullptr,
                                                 s.width, s.height, dither),
                          OVEX_OK);
                hash.add(tcon);
                hash.add(aoi);
                hash.add(sim);
            }
        EXPECT_EQ(hash.value(), kRenderAllHashes[dither]) << dither;
    }
}

// Rendering in place (input and output the same buffer) gives the bytes of
// a separate output: rows are encoded while later rows are still read.
TEST_P(Threads, InPlaceMatchesSeparateBuffers) {
    const auto lut = test_lut(6, false);
    install(lut);
    const Size s = kLarge;
    const auto picture = test_picture(s.width, s.height, 900);
    for (int dither = 0; dither <= 5; ++dither) {
        std::vector<std::uint8_t> out(picture.size());
        ASSERT_EQ(Ovex_Morva6_render(picture.data(), 1, out.data(), 1, s.width, s.height, dither, 3), OVEX_OK);
        auto in_place = picture;
        ASSERT_EQ(Ovex_Morva6_render(in_place.data(), 1, in_place.data(), 1, s.width, s.height, dither, 3), OVEX_OK);
        EXPECT_EQ(in_place, out) << dither;
    }
}

// The thread budget: a set count wins, MORVA6_THREADS replaces the default
// when it is a count, anything else in it is ignored.
TEST(ThreadBudget, SetterEnvironmentAndDefault) {
    const int cores = common::usable_cores();
    ASSERT_GE(cores, 1);
    const int fallback = std::min(cores, common::kMaxDefaultThreads);
    const std::pair<const char*, int> cases[] = {
        {"3", 3},        {"1", 1},           {"100000", common::kMaxThreads},
        {"0", fallback}, {"-2", fallback},   {"4x", fallback},
        {"", fallback},  {"many", fallback},
    };
    for (const auto& [text, expected] : cases) {
        ASSERT_EQ(setenv("MORVA6_THREADS", text, 1), 0);
        EXPECT_EQ(common::default_threads(), expected) << '"' << text << '"';
        EXPECT_EQ(morva6_threads(), expected) << '"' << text << '"';
    }
    morva6_set_threads(5);
    EXPECT_EQ(morva6_threads(), 5);
    morva6_set_threads(-1);
    EXPECT_EQ(morva6_threads(), fallback);
    unsetenv("MORVA6_THREADS");
    EXPECT_EQ(morva6_threads(), fallback);
}

}  // namespace
