#include "tools/lut_builder/colour_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lut_builder {
namespace {

TEST(ColourMath, PublishedCielab) {
    const struct {
        Rgb rgb;
        Lab lab;
    } known[] = {{{255, 255, 255}, {100.0, 0.0, 0.0}},   {{0, 0, 0}, {0.0, 0.0, 0.0}},
                 {{255, 0, 0}, {53.24, 80.09, 67.20}},   {{0, 255, 0}, {87.73, -86.18, 83.18}},
                 {{0, 0, 255}, {32.30, 79.19, -107.86}}, {{119, 119, 119}, {50.03, 0.0, 0.0}}};
    for (const auto& k : known) {
        const Lab lab = lab_from_rgb(k.rgb);
        EXPECT_NEAR(lab.l, k.lab.l, 0.02);
        EXPECT_NEAR(lab.a, k.lab.a, 0.05);
        EXPECT_NEAR(lab.b, k.lab.b, 0.05);
    }
}

// Pairs 1, 7, 17, 25 and 34 of the published CIEDE2000 test data.
TEST(ColourMath, DeltaE2000MatchesThePublishedPairs) {
    const struct {
        Lab first, second;
        double de;
    } pairs[] = {{{50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}, 2.0425},
                 {{50.0, 0.0, 0.0}, {50.0, -1.0, 2.0}, 2.3669},
                 {{50.0, 2.5, 0.0}, {73.0, 25.0, -18.0}, 27.1492},
                 {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
                 {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082}};
    for (const auto& p : pairs) {
        EXPECT_NEAR(delta_e2000(p.first, p.second), p.de, 1e-4);
        EXPECT_NEAR(delta_e2000(p.second, p.first), p.de, 1e-4);
    }
}

TEST(ColourMath, D50ColoursAreAdaptedToD65) {
    const Lab white = lab_d65_from_d50({100.0, 0.0, 0.0});
    EXPECT_NEAR(white.l, 100.0, 1e-6);
    EXPECT_NEAR(white.a, 0.0, 1e-3);
    EXPECT_NEAR(white.b, 0.0, 1e-3);
    const Lab red = lab_d65_from_d50({54.29, 80.80, 69.89});  // the sRGB red, measured against D50
    EXPECT_NEAR(red.l, 53.24, 0.3);
}

}  // namespace
}  // namespace lut_builder
