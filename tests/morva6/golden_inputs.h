// The seeded inputs of the golden tests: pictures of odd and even sizes and
// LUT blocks, and a fixture that restores the render context.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <vector>

#include <morva6/morva6.h>

#include "morva6/core/render_context.h"
#include "tests/support/support.h"

namespace golden_inputs {

using test_support::Random;

inline std::uint8_t clamp_byte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

// Integer-only picture: gradients, flat boxes (some of pure extremes, which
// push errors far outside 0..255), and noise. Three bytes per pixel.
inline std::vector<std::uint8_t> test_picture(int width, int height, std::uint64_t seed) {
    Random random(seed);
    struct Box {
        int x0, y0, x1, y1;
        std::uint8_t c[3];
    };
    std::vector<Box> boxes(4);
    for (auto& b : boxes) {
        b.x0 = random.below(width);
        b.y0 = random.below(height);
        b.x1 = b.x0 + 1 + random.below(std::max(1, width / 2));
        b.y1 = b.y0 + 1 + random.below(std::max(1, height / 2));
        for (auto& c : b.c)
            c = random.below(3) == 0 ? static_cast<std::uint8_t>(255 * random.below(2))
                                     : static_cast<std::uint8_t>(random.below(256));
    }
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* out = picture.data();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, out += 3) {
            const int noise = random.below(17) - 8;
            int c[3] = {x * 255 / std::max(1, width - 1) + noise, y * 255 / std::max(1, height - 1) - noise,
                        (x + y) * 255 / std::max(1, width + height - 2) + noise / 2};
            for (const auto& b : boxes)
                if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1)
                    for (int i = 0; i < 3; ++i) c[i] = b.c[i];
            for (int i = 0; i < 3; ++i) out[i] = clamp_byte(c[i]);
        }
    return picture;
}

// A LUT block: inks (blue, green, red each) and a table that boosts the
// saturation of each colour, with a little seeded jitter. `tie_inks` gives
// two inks the same colour.
inline std::vector<std::uint8_t> test_lut(std::uint64_t seed, bool tie_inks) {
    std::vector<std::uint8_t> block(OVEX_LUT_FILE_SIZE);
    const std::uint8_t inks[18] = {28, 26, 30, 200, 205, 210, 40, 190, 205, 45, 50, 170, 70, 130, 55, 140, 70, 45};
    std::copy(std::begin(inks), std::end(inks), block.begin());
    if (tie_inks) std::copy(inks + 6, inks + 9, block.begin() + 12);  // red = yellow
    Random random(seed);
    std::uint8_t* entry = block.data() + 18;
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b, entry += 3) {
                const int red = r * 4 + 2, green = g * 4 + 2, blue = b * 4 + 2;
                const int grey = (red + green + blue) / 3;
                auto boost = [&](int c) { return clamp_byte(grey + (c - grey) * 5 / 4 + random.below(7) - 3); };
                entry[0] = boost(blue);
                entry[1] = boost(green);
                entry[2] = boost(red);
            }
    return block;
}

struct Size {
    int width, height;
};
// Odd and even sizes, single rows and columns, and one above the size from
// which the image adjustment switches to its pair table.
inline const std::vector<Size> kSizes = {{1, 1},   {2, 3},   {5, 1},   {1, 7},    {3, 2},
                                         {17, 13}, {64, 33}, {97, 61}, {301, 203}};
inline const Size kLarge = {523, 311};

class GoldenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_palette_ = morva6::bgr_op;
        saved_table_ = morva6::glut;
    }
    void TearDown() override {
        morva6::bgr_op = saved_palette_;
        morva6::glut = saved_table_;
    }
    static void install(const std::vector<std::uint8_t>& lut) {
        ASSERT_EQ(Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())), OVEX_OK);
    }

  private:
    std::array<std::uint8_t, 18> saved_palette_{};
    const std::uint8_t* saved_table_ = nullptr;
};

}  // namespace golden_inputs
