// The render entry points: output encodings in both channel orders, the
// one-pass render against look-up plus engine, Render_All against three
// single renders, and every refused call.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <morva6/morva6.h>

#include "morva6/dithering.h"
#include "render_test_luts.h"

namespace {

using namespace render_test;
using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 6> kTconCodes = {0x00, 0x78, 0x20, 0x40, 0x30, 0x10};
// Ideal colours as red, green, blue.
constexpr std::array<Colour, 6> kIdealRgb = {{{0, 0, 0}, {255, 255, 255}, {255, 255, 0},
                                              {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};

Colour reversed(Colour c) { return {c[2], c[1], c[0]}; }

Bytes random_picture(std::mt19937& random, int width, int height) {
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes picture(static_cast<std::size_t>(width) * height * 3);
    for (auto& b : picture) b = static_cast<std::uint8_t>(byte(random));
    return picture;
}

Bytes render(const Bytes& input, std::int32_t in_bgr, std::int32_t out_bgr, int width, int height,
             std::int32_t dither, std::int32_t mode) {
    Bytes out(input.size(), 0xEE);
    EXPECT_EQ(Ovex_Morva6_render(input.data(), in_bgr, out.data(), out_bgr, width, height, dither, mode), OVEX_OK);
    return out;
}

// ---------------------------------------------------------------------------
// Output encodings.

// Table entry k (k = 0..5, reached by blue = 4k) is exactly ink k, every
// other entry ink 1, so pixel k of the picture below takes ink k with no
// error anywhere.
class OutputModes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(install(make_lut(kMeasuredInks,
                                   [](int index) { return ink_colour(kMeasuredInks, index < 6 ? index : 1); })),
                  OVEX_OK);
    }
    // Inks 0..5 then 5..0, in the byte order of `bgr`.
    static Bytes six_inks_picture(std::int32_t bgr) {
        Bytes picture;
        for (int i = 0; i < 12; ++i) {
            const int ink = i < 6 ? i : 11 - i;
            const Colour rgb = {0, 0, static_cast<std::uint8_t>(4 * ink)};
            const Colour px = bgr ? reversed(rgb) : rgb;
            picture.insert(picture.end(), px.begin(), px.end());
        }
        return picture;
    }
    static Colour expected_bytes(std::int32_t mode, std::int32_t out_bgr, int ink) {
        switch (mode) {
            case OVEX_MODE_TCON:
                return {kTconCodes[ink], kTconCodes[ink], kTconCodes[ink]};
            case OVEX_MODE_AOI:
                return out_bgr ? reversed(kIdealRgb[ink]) : kIdealRgb[ink];
            default: {
                const Colour stored = ink_colour(kMeasuredInks, ink);
                return out_bgr ? stored : reversed(stored);
            }
        }
    }
};

TEST_F(OutputModes, EveryModeInEveryChannelOrder) {
    for (std::int32_t mode = 1; mode <= 3; ++mode)
        for (std::int32_t in_bgr : {0, 1})
            for (std::int32_t out_bgr : {0, 1})
                for (std::int32_t dither = 0; dither <= 5; ++dither) {
                    SCOPED_TRACE("mode " + std::to_string(mode) + " in " + std::to_string(in_bgr) + " out " +
                                 std::to_string(out_bgr) + " dither " + std::to_string(dither));
                    Bytes expected;
                    for (int i = 0; i < 12; ++i) {
                        const Colour c = expected_bytes(mode, out_bgr, i < 6 ? i : 11 - i);
                        expected.insert(expected.end(), c.begin(), c.end());
                    }
                    EXPECT_EQ(render(six_inks_picture(in_bgr), in_bgr, out_bgr, 6, 2, dither, mode), expected);
                }
}

// ---------------------------------------------------------------------------
// The one-pass render equals a look-up into a mapped picture followed by the
// engine, for every method, both channel orders and odd sizes.

Bytes looked_up(const Bytes& lut, const Bytes& input, bool bgr) {
    Bytes mapped(input.size());
    for (std::size_t i = 0; i < input.size(); i += 3) {
        const int red = input[i + (bgr ? 2 : 0)], green = input[i + 1], blue = input[i + (bgr ? 0 : 2)];
        const std::size_t entry = 18 + 3 * (static_cast<std::size_t>(red / 4) * 4096 + (green / 4) * 64 + blue / 4);
        for (int c = 0; c < 3; ++c) mapped[i + c] = lut[entry + (bgr ? c : 2 - c)];
    }
    return mapped;
}

TEST(RenderPipeline, EqualsLookupThenEngine) {
    const auto& lut = keep(make_lut(kMeasuredInks, [](int index) {
        Colour c = cell_centre(index);
        c[0] = static_cast<std::uint8_t>(255 - c[0]);  // something not the identity
        return c;
    }));
    ASSERT_EQ(Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())), OVEX_OK);
    std::mt19937 random(21);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {2, 3}, {7, 2}, {33, 17}}) {
        const Bytes input = random_picture(random, width, height);
        for (std::int32_t bgr : {0, 1}) {
            const Bytes mapped = looked_up(lut, input, bgr == 1);
            for (std::int32_t dither = 0; dither <= 5; ++dither) {
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " bgr " + std::to_string(bgr) +
                             " dither " + std::to_string(dither));
                Bytes indices(static_cast<std::size_t>(width) * height);
                const auto engine = dither < 2   ? Ovex_dithering_Floyd_QW
                                    : dither < 4 ? Ovex_dithering_Jarvis_Judice_Ninkle_QW
                                                 : Ovex_dithering_Stucki_QW;
                engine(mapped.data(), static_cast<std::uint32_t>(bgr), indices.data(), width, height,
                       static_cast<std::uint8_t>(dither & 1));
                Bytes expected;
                for (const auto index : indices) expected.insert(expected.end(), 3, kTconCodes[index]);
                EXPECT_EQ(render(input, bgr, 1 - bgr, width, height, dither, OVEX_MODE_TCON), expected);
            }
        }
    }
}

TEST(RenderPipeline, InputAndOutputMayBeTheSameBuffer) {
    ASSERT_EQ(install(make_lut(kMeasuredInks, cell_centre)), OVEX_OK);
    std::mt19937 random(8);
    const Bytes input = random_picture(random, 19, 13);
    for (std::int32_t mode = 1; mode <= 3; ++mode) {
        Bytes in_place = input;
        ASSERT_EQ(Ovex_Morva6_render(in_place.data(), 1, in_place.data(), 0, 19, 13, 5, mode), OVEX_OK);
        EXPECT_EQ(in_place, render(input, 1, 0, 19, 13, 5, mode)) << mode;
    }
}

TEST(RenderPipeline, RenderAllEqualsThreeSingleRenders) {
    ASSERT_EQ(install(make_lut(kMeasuredInks, cell_centre)), OVEX_OK);
    std::mt19937 random(13);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {5, 1}, {23, 9}}) {
        const Bytes input = random_picture(random, width, height);
        for (std::int32_t bgr : {0, 1})
            for (std::int32_t dither = 0; dither <= 5; ++dither) {
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " bgr " + std::to_string(bgr) +
                             " dither " + std::to_string(dither));
                Bytes tcon(input.size(), 1), aoi(input.size(), 2), simulation(input.size(), 3);
                int reserved = 0;
                ASSERT_EQ(Ovex_Morva6_render_All(input.data(), bgr, tcon.data(), aoi.data(), simulation.data(),
                                                 &reserved, width, height, dither),
                          OVEX_OK);
                EXPECT_EQ(tcon, render(input, bgr, bgr, width, height, dither, OVEX_MODE_TCON));
                EXPECT_EQ(aoi, render(input, bgr, bgr, width, height, dither, OVEX_MODE_AOI));
                EXPECT_EQ(simulation, render(input, bgr, bgr, width, height, dither, OVEX_MODE_SIMULATION));
            }
    }
}

// ---------------------------------------------------------------------------
// Refused and empty calls leave every output untouched.

struct RefusedCall {
    std::string what;
    std::int32_t in_bgr, out_bgr, width, height, dither, mode;
    std::int32_t status;
};

TEST(RenderRefusals, OutputUntouchedAndStatusAsDocumented) {
    ASSERT_EQ(install(make_lut(kMeasuredInks, cell_centre)), OVEX_OK);
    const std::vector<RefusedCall> calls = {
        {"dither 6", 1, 1, 4, 4, 6, 1, OVEX_ERR_UNKNOWN_METHOD},
        {"dither -1", 1, 1, 4, 4, -1, 1, OVEX_ERR_UNKNOWN_METHOD},
        {"dither INT_MIN", 1, 1, 4, 4, INT_MIN, 2, OVEX_ERR_UNKNOWN_METHOD},
        {"dither checked before an empty picture", 1, 1, 0, 4, 9, 1, OVEX_ERR_UNKNOWN_METHOD},
        {"mode 0", 1, 1, 4, 4, 0, 0, OVEX_OK},
        {"mode 4", 1, 1, 4, 4, 5, 4, OVEX_OK},
        {"mode -1", 0, 0, 4, 4, 2, -1, OVEX_OK},
        {"zero width", 1, 1, 0, 4, 0, 1, OVEX_OK},
        {"zero height", 1, 1, 4, 0, 0, 1, OVEX_OK},
        {"negative width", 1, 1, -4, 4, 0, 1, OVEX_OK},
        {"negative height, huge width", 1, 1, INT_MAX, -1, 0, 1, OVEX_OK},
        {"input flag 2", 2, 1, 4, 4, 0, 1, OVEX_ERR_CHANNEL_ORDER},
        {"input flag -1", -1, 1, 4, 4, 0, 1, OVEX_ERR_CHANNEL_ORDER},
        {"output flag 2, even in mode 1", 1, 2, 4, 4, 0, 1, OVEX_ERR_CHANNEL_ORDER},
        {"flag checked before size and dither", 1, 7, 100000, 100000, 99, 1, OVEX_ERR_CHANNEL_ORDER},
        {"4 x width x height past 32 bits", 1, 1, 46341, 46341, 0, 1, OVEX_ERR_BAD_SIZE},
        {"width x 4 past 32 bits", 1, 1, 536870912, 1, 0, 1, OVEX_ERR_BAD_SIZE},
        {"size checked before dither", 1, 1, 65536, 8192, 77, 1, OVEX_ERR_BAD_SIZE},
        {"size refused even for an unknown mode", 0, 0, INT_MAX, INT_MAX, 0, 9, OVEX_ERR_BAD_SIZE},
    };
    const Bytes input(4 * 4 * 3, 0x80);
    for (const auto& c : calls) {
        SCOPED_TRACE(c.what);
        Bytes out(4 * 4 * 3 + 16, 0xEE);
        EXPECT_EQ(Ovex_Morva6_render(input.data(), c.in_bgr, out.data(), c.out_bgr, c.width, c.height, c.dither, c.mode),
                  c.status);
        EXPECT_EQ(out, Bytes(out.size(), 0xEE));
    }
}

TEST(RenderRefusals, RenderAllChecksItsSingleFlagSizeAndDither) {
    ASSERT_EQ(install(make_lut(kMeasuredInks, cell_centre)), OVEX_OK);
    const Bytes input(4 * 4 * 3, 0x80);
    struct Case {
        std::int32_t bgr, width, height, dither, status;
    };
    for (const Case& c : std::vector<Case>{{2, 4, 4, 0, OVEX_ERR_CHANNEL_ORDER},
                                           {-1, 4, 4, 9, OVEX_ERR_CHANNEL_ORDER},
                                           {1, 46341, 46341, 0, OVEX_ERR_BAD_SIZE},
                                           {1, 4, 4, 6, OVEX_ERR_UNKNOWN_METHOD},
                                           {0, 4, 4, -3, OVEX_ERR_UNKNOWN_METHOD},
                                           {1, 0, 4, 0, OVEX_OK},
                                           {1, 4, -2, 3, OVEX_OK}}) {
        Bytes a(input.size(), 0xEE), b(input.size(), 0xEE), s(input.size(), 0xEE);
        EXPECT_EQ(Ovex_Morva6_render_All(input.data(), c.bgr, a.data(), b.data(), s.data(), nullptr, c.width,
                                         c.height, c.dither),
                  c.status);
        for (const Bytes* out : {&a, &b, &s}) EXPECT_EQ(*out, Bytes(input.size(), 0xEE));
    }
}

// A library that was never initialised refuses to render and reads no table.
// A freshly loaded copy of the shared library has its own, empty context.
TEST(RenderRefusals, NothingRendersBeforeInitialisation) {
    void* library = dlopen(MORVA6_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using Render = decltype(&Ovex_Morva6_render);
    using RenderAll = decltype(&Ovex_Morva6_render_All);
    using Init = decltype(&Ovex_Morva6_render_init);
    const auto fresh_render = reinterpret_cast<Render>(dlsym(library, "Ovex_Morva6_render"));
    const auto fresh_render_all = reinterpret_cast<RenderAll>(dlsym(library, "Ovex_Morva6_render_All"));
    const auto fresh_init = reinterpret_cast<Init>(dlsym(library, "Ovex_Morva6_render_init"));
    ASSERT_NE(fresh_render, nullptr);
    ASSERT_NE(fresh_render_all, nullptr);
    ASSERT_NE(fresh_init, nullptr);
    const Bytes input(4 * 4 * 3, 0x80);
    Bytes out(input.size(), 0xEE), aoi(input.size(), 0xEE), sim(input.size(), 0xEE);
    // Not initialised comes first, before any other check.
    EXPECT_EQ(fresh_render(input.data(), 1, out.data(), 1, 4, 4, 0, 1), OVEX_ERR_NOT_INITIALISED);
    EXPECT_EQ(fresh_render(input.data(), 5, out.data(), 1, -4, 4, 99, 1), OVEX_ERR_NOT_INITIALISED);
    EXPECT_EQ(fresh_render_all(input.data(), 1, out.data(), aoi.data(), sim.data(), nullptr, 4, 4, 0),
              OVEX_ERR_NOT_INITIALISED);
    // A failed initialisation does not count.
    const auto& lut = keep(make_lut(kMeasuredInks, cell_centre));
    EXPECT_EQ(fresh_init(lut.data(), OVEX_LUT_FILE_SIZE - 1), OVEX_ERR_LUT_SIZE);
    EXPECT_EQ(fresh_render(input.data(), 1, out.data(), 1, 4, 4, 0, 1), OVEX_ERR_NOT_INITIALISED);
    for (const Bytes* b : {&out, &aoi, &sim}) EXPECT_EQ(*b, Bytes(input.size(), 0xEE));
    // A successful one does.
    EXPECT_EQ(fresh_init(lut.data(), OVEX_LUT_FILE_SIZE), OVEX_OK);
    EXPECT_EQ(fresh_render(input.data(), 1, out.data(), 1, 4, 4, 0, 1), OVEX_OK);
    dlclose(library);
}

// Runs in a child process: lowers the address-space limit to the current
// size plus 64 MiB (the index buffer alone needs 400 MB) and renders.
// Returns 0 when both entry points report no memory and write nothing.
[[maybe_unused]] int render_with_little_memory() {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64 << 20);
    const rlimit lowered{limit, limit};
    setrlimit(RLIMIT_AS, &lowered);
    // The input is never read: allocation comes first.
    const Bytes input(48, 0x80);
    Bytes out(48, 0xEE), aoi(48, 0xEE), sim(48, 0xEE);
    const bool single = Ovex_Morva6_render(input.data(), 1, out.data(), 1, 20000, 20000, 5, 1) == OVEX_ERR_NO_MEMORY;
    const bool all = Ovex_Morva6_render_All(input.data(), 1, out.data(), aoi.data(), sim.data(), nullptr, 20000,
                                            20000, 0) == OVEX_ERR_NO_MEMORY;
    const bool untouched = out == Bytes(48, 0xEE) && aoi == Bytes(48, 0xEE) && sim == Bytes(48, 0xEE);
    return single && all && untouched ? 0 : 1;
}

// With too little address space for the work buffers the render reports
// no memory and writes nothing. Runs in a child process with a lowered limit.
TEST(RenderRefusals, FailedAllocationReportsNoMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit allows";
#else
    ASSERT_EQ(install(make_lut(kMeasuredInks, cell_centre)), OVEX_OK);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(_exit(render_with_little_memory()), ::testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
