#include "tools/lut_builder/colour_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lut_builder {
namespace {

TEST(ColourMath, ByteColoursSurviveTheRoundTripThroughLab) {
    double worst = 0.0;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 7) {
                const Rgb back = rgb_from_lab(lab_from_rgb({double(r), double(g), double(b)}));
                worst = std::max({worst, std::fabs(back.r - r), std::fabs(back.g - g),
                                  std::fabs(back.b - b)});
            }
    EXPECT_LT(worst, 1e-9);
}

TEST(ColourMath, OutOfCubeColoursSurviveTheRoundTripToo) {
    for (const Lab lab : {Lab{50.0, 120.0, -90.0}, Lab{5.0, -60.0, 40.0}, Lab{95.0, 0.0, 80.0}}) {
        const Lab back = lab_from_rgb(rgb_from_lab(lab));
        EXPECT_NEAR(back.l, lab.l, 1e-9);
        EXPECT_NEAR(back.a, lab.a, 1e-9);
        EXPECT_NEAR(back.b, lab.b, 1e-9);
    }
}

struct KnownLab {
    Rgb rgb;
    Lab lab;
};

class ColourMathKnownValues : public ::testing::TestWithParam<KnownLab> {};

TEST_P(ColourMathKnownValues, MatchPublishedCielab) {
    const Lab lab = lab_from_rgb(GetParam().rgb);
    EXPECT_NEAR(lab.l, GetParam().lab.l, 0.02);
    EXPECT_NEAR(lab.a, GetParam().lab.a, 0.05);
    EXPECT_NEAR(lab.b, GetParam().lab.b, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Reference, ColourMathKnownValues,
    ::testing::Values(KnownLab{{255, 255, 255}, {100.0, 0.0, 0.0}},
                      KnownLab{{0, 0, 0}, {0.0, 0.0, 0.0}},
                      KnownLab{{255, 0, 0}, {53.24, 80.09, 67.20}},
                      KnownLab{{0, 255, 0}, {87.73, -86.18, 83.18}},
                      KnownLab{{0, 0, 255}, {32.30, 79.19, -107.86}},
                      KnownLab{{119, 119, 119}, {50.03, 0.0, 0.0}}));

TEST(ColourMath, WhiteAndGreysAreExactlyNeutral) {
    for (int v : {1, 20, 128, 255}) {
        const Lab lab = lab_from_rgb({double(v), double(v), double(v)});
        EXPECT_NEAR(lab.a, 0.0, 1e-9) << v;
        EXPECT_NEAR(lab.b, 0.0, 1e-9) << v;
    }
    EXPECT_NEAR(lab_from_rgb({255, 255, 255}).l, 100.0, 1e-9);
}

}  // namespace
}  // namespace lut_builder
