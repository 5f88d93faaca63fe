// The render context: installing a LUT file's bytes, keeping the earlier
// context on a bad length, and the look-up rule seen through a render.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include <morva6/morva6.h>

#include "morva6/render_context.h"
#include "render_test_luts.h"

namespace {

using namespace render_test;

// Mode 1 code of a single pixel; bytes in the order of `bgr`.
std::uint8_t tcon_code(std::array<std::uint8_t, 3> pixel, std::int32_t bgr) {
    std::array<std::uint8_t, 3> out{0xEE, 0xEE, 0xEE};
    EXPECT_EQ(Ovex_Morva6_render(pixel.data(), bgr, out.data(), bgr, 1, 1, OVEX_DITHER_FLOYD, OVEX_MODE_TCON), OVEX_OK);
    EXPECT_EQ(out[1], out[0]);
    EXPECT_EQ(out[2], out[0]);
    return out[0];
}

constexpr std::uint8_t kWhiteCode = 0x78, kYellowCode = 0x20, kRedCode = 0x40, kGreenCode = 0x30,
                       kBlueCode = 0x10;

// Every entry white except a few marked ones, each an exact ink colour, so
// a one-pixel render names the entry it was looked up in.
std::vector<std::uint8_t> marked_lut() {
    return make_lut(kIdealInks, [](int index) -> Colour {
        switch (index) {
            case 0:
                return ink_colour(kIdealInks, 2);  // yellow
            case 4096:
                return ink_colour(kIdealInks, 3);  // red
            case 64:
                return ink_colour(kIdealInks, 4);  // green
            case 1:
                return ink_colour(kIdealInks, 5);  // blue
            case 32 * 4096 + 16 * 64 + 63:
                return ink_colour(kIdealInks, 0);  // black
            default:
                return ink_colour(kIdealInks, 1);  // white
        }
    });
}

struct LookupCase {
    std::array<std::uint8_t, 3> rgb;
    std::uint8_t code;
};

TEST(RenderContext, LookupIndexTakesTopSixBitsWithRedMostSignificant) {
    ASSERT_EQ(install(marked_lut()), OVEX_OK);
    const std::vector<LookupCase> cases = {
        {{3, 3, 3}, kYellowCode},        // low two bits dropped: entry 0
        {{0, 0, 0}, kYellowCode},        //
        {{4, 0, 0}, kRedCode},           // entry 4096
        {{7, 2, 1}, kRedCode},           //
        {{0, 4, 0}, kGreenCode},         // entry 64
        {{0, 0, 4}, kBlueCode},          // entry 1
        {{128, 64, 255}, 0x00},          // entry 32*4096 + 16*64 + 63: black
        {{131, 67, 252}, 0x00},          //
        {{4, 4, 4}, kWhiteCode},         // entry 4161
        {{255, 255, 255}, kWhiteCode},   //
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rgb[0]) + "," + std::to_string(c.rgb[1]) + "," + std::to_string(c.rgb[2]));
        EXPECT_EQ(tcon_code({c.rgb[2], c.rgb[1], c.rgb[0]}, 1), c.code);  // blue, green, red
        EXPECT_EQ(tcon_code(c.rgb, 0), c.code);                            // red, green, blue
    }
}

TEST(RenderContext, WrongLengthIsRefusedAndKeepsTheEarlierContext) {
    ASSERT_EQ(install(marked_lut()), OVEX_OK);
    const auto palette_before = morva6::bgr_op;
    const auto* table_before = morva6::glut;
    const auto& other = keep(make_lut(kMeasuredInks, [](int) { return Colour{1, 2, 3}; }));
    for (const std::int32_t size : {OVEX_LUT_FILE_SIZE - 1, OVEX_LUT_FILE_SIZE + 1, 0, -1, 18}) {
        EXPECT_EQ(Ovex_Morva6_render_init(other.data(), size), OVEX_ERR_LUT_SIZE) << size;
        EXPECT_EQ(morva6::bgr_op, palette_before);
        EXPECT_EQ(morva6::glut, table_before);
        EXPECT_EQ(tcon_code({4, 0, 0}, 1), kBlueCode);  // still the marked table
    }
    EXPECT_EQ(Ovex_Morva6_render_init(nullptr, OVEX_LUT_FILE_SIZE), OVEX_ERR_LUT_SIZE);
    EXPECT_EQ(morva6::glut, table_before);
}

TEST(RenderContext, ReinitialisingReplacesPaletteAndTable) {
    ASSERT_EQ(install(marked_lut()), OVEX_OK);
    EXPECT_EQ(tcon_code({0, 0, 4}, 1), kRedCode);
    // Second LUT: other inks, every entry aims at ink 2 of the new palette.
    ASSERT_EQ(install(make_lut(kMeasuredInks, [](int) { return ink_colour(kMeasuredInks, 2); })), OVEX_OK);
    EXPECT_EQ(morva6::bgr_op, kMeasuredInks);
    EXPECT_EQ(tcon_code({0, 0, 4}, 1), kYellowCode);
    std::array<std::uint8_t, 3> pixel{9, 9, 9}, out{};
    ASSERT_EQ(Ovex_Morva6_render(pixel.data(), 1, out.data(), 1, 1, 1, OVEX_DITHER_STUCKI_SERPENTINE,
                                 OVEX_MODE_SIMULATION),
              OVEX_OK);
    EXPECT_EQ(out, ink_colour(kMeasuredInks, 2));
}

// The palette is copied at initialisation: later changes to the caller's
// block do not change the inks.
TEST(RenderContext, PaletteIsCopied) {
    auto& block = const_cast<std::vector<std::uint8_t>&>(keep(make_lut(kMeasuredInks, cell_centre)));
    ASSERT_EQ(Ovex_Morva6_render_init(block.data(), static_cast<std::int32_t>(block.size())), OVEX_OK);
    std::fill_n(block.begin(), 18, 0x55);
    EXPECT_EQ(morva6::bgr_op, kMeasuredInks);
    EXPECT_EQ(morva6::glut, block.data() + 18);
}

}  // namespace
