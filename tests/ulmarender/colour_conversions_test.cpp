// Conversions of the renderer's colour stages: table entries, threshold
// segments, truncations and out-of-gamut results, against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "ulmarender/colour_conversions.h"
#include "ulmarender/colour_cube.h"
#include "ulmarender/colour_tables.h"

namespace {

TEST(ColourTables, EntriesGivenForTheRules) {
  EXPECT_EQ(fast_val[0], 0.00083381);
  EXPECT_EQ(fast_val[255], 1.0);
  EXPECT_EQ(fast_val_2[0], 0.0);
  EXPECT_EQ(fast_val_2[1], 0.09937449);
  EXPECT_EQ(fast_val_3[0], 0.0);
  EXPECT_EQ(fast_val_3[1], 0.09924488);
  EXPECT_EQ(fast_val_3[1023], 1.0);
  // Worked by hand from the rules.
  EXPECT_EQ(fast_val[11], 0.00334654);   // 0.0033465357...
  EXPECT_EQ(fast_val[128], 0.21586050);  // 0.2158605001...
  EXPECT_EQ(fast_val[200], 0.57758044);  // 0.5775804404...
  EXPECT_EQ(fast_val_2[127], 0.74792803);  // 0.7479280283...
  EXPECT_EQ(fast_val_2[128], 0.75037625);  // 0.7503762482...
  EXPECT_EQ(fast_val_3[8], 0.19848977);    // 0.1984897650...
  EXPECT_EQ(fast_val_3[511], 0.79344182);  // 0.7934418230...
}

// Every entry is its rule rounded to 8 decimals: compared with the rule in
// long double precision, printed the same way.
TEST(ColourTables, EveryEntryIsTheRuleRoundedTo8Decimals) {
  const auto expect_rounded = [](double entry, long double exact, int i) {
    char text[64];
    std::snprintf(text, sizeof text, "%.8Lf", exact);
    EXPECT_EQ(entry, std::strtod(text, nullptr)) << "entry " << i;
  };
  for (int i = 0; i < 256; ++i) {
    expect_rounded(fast_val[i], std::pow((i / 255.0L + 0.055L) / 1.055L, 2.4L), i);
    expect_rounded(fast_val_2[i], std::pow(i / 255.0L, 1.0L / 2.4L), i);
  }
  for (int i = 0; i < 1024; ++i) {
    expect_rounded(fast_val_3[i], std::cbrt(i / 1023.0L), i);
  }
  EXPECT_EQ(round_to_8_decimals(0.123456785), 0.12345678);  // binary value lies below the 5
  EXPECT_EQ(round_to_8_decimals(0.123456786), 0.12345679);
}

struct HsvCase {
  int r, g, b;
  double h, s, v;
};

class Rgb2Hsv : public ::testing::TestWithParam<HsvCase> {};

TEST_P(Rgb2Hsv, GivesHueSaturationValue) {
  const HsvCase c = GetParam();
  double h, s, v;
  rgb2hsv(h, s, v, c.r, c.g, c.b);
  EXPECT_DOUBLE_EQ(h, c.h);
  EXPECT_DOUBLE_EQ(s, c.s);
  EXPECT_DOUBLE_EQ(v, c.v);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, Rgb2Hsv,
    ::testing::Values(HsvCase{255, 0, 0, 0.0, 1.0, 1.0}, HsvCase{0, 255, 0, 1.0 / 3, 1.0, 1.0},
                      HsvCase{0, 0, 255, 2.0 / 3, 1.0, 1.0},
                      HsvCase{128, 128, 128, 0.0, 0.0, 128 / 255.0},
                      HsvCase{255, 0, 255, 5.0 / 6, 1.0, 1.0},
                      HsvCase{255, 0, 128, 1 - 128 / 255.0 / 6, 1.0, 1.0},  // wraps below 0
                      HsvCase{0, 0, 0, 0.0, 0.0, 0.0}));

TEST(Hsv2Rgb, HueOneIsHueZero) {
  int r, g, b;
  hsv2rgb(r, g, b, 1.0, 1.0, 1.0);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 0);
}

TEST(Hsv2Rgb, TruncatesEveryComponent) {
  int r, g, b;
  hsv2rgb(r, g, b, 0.0, 0.0, 0.999);  // 254.745
  EXPECT_EQ(r, 254);
  EXPECT_EQ(g, 254);
  hsv2rgb(r, g, b, 0.5, 0.5, 0.5);  // cyan half: p = 0.25 -> 63.75
  EXPECT_EQ(r, 63);
  EXPECT_EQ(g, 127);
  EXPECT_EQ(b, 127);
  // Hue 300 degrees: 5/6 * 6 lies just below 5, so sector 4 and t = v - tiny.
  double h, s, v;
  rgb2hsv(h, s, v, 10, 2, 10);
  hsv2rgb(r, g, b, h, s, v);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(g, 1);
  EXPECT_EQ(b, 10);
}

TEST(HslConversions, RoundTripAndHueHelper) {
  double h, s, l;
  rgb2hsl(h, s, l, 255, 0, 0);
  EXPECT_DOUBLE_EQ(h, 0.0);
  EXPECT_DOUBLE_EQ(s, 1.0);
  EXPECT_DOUBLE_EQ(l, 0.5);
  rgb2hsl(h, s, l, 200, 50, 50);
  EXPECT_DOUBLE_EQ(l, 250 / 510.0);
  EXPECT_DOUBLE_EQ(s, (150 / 255.0) / (250 / 255.0));
  rgb2hsl(h, s, l, 220, 200, 60);  // L >= 0.5 uses D / (2 - Max - Min)
  EXPECT_DOUBLE_EQ(s, (160 / 255.0) / (2 - 220 / 255.0 - 60 / 255.0));
  int r, g, b;
  hsl2rgb(r, g, b, 0.0, 1.0, 0.5);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 0);
  hsl2rgb(r, g, b, 0.0, 0.0, 0.5);
  EXPECT_EQ(r, 127);
  EXPECT_DOUBLE_EQ(Hue_2_RGB(0.2, 0.8, 1.5), 0.8);         // wraps to 0.5 - a third
  EXPECT_DOUBLE_EQ(Hue_2_RGB(0.2, 0.8, 0.1), 0.2 + 0.6 * 6 * 0.1);
  EXPECT_DOUBLE_EQ(Hue_2_RGB(0.2, 0.8, 0.9), 0.2);
}

TEST(Rgb2Xyz, LinearSegmentUpTo10AndTableFrom11) {
  double x, y, z;
  rgb2xyz(x, y, z, 0, 10, 0);  // 10/255 = 0.0392 <= 0.04045
  EXPECT_EQ(y, (((10 / 255.0) / 12.92) * 100) * 0.7152);
  rgb2xyz(x, y, z, 0, 11, 0);
  EXPECT_EQ(y, (fast_val[11] * 100) * 0.7152);
  // A fractional channel uses the entry of its integer part.
  rgb2xyz(x, y, z, 0, 200.99, 0);
  EXPECT_EQ(y, (fast_val[200] * 100) * 0.7152);
}

TEST(Rgb2Xyz, WhiteIsTheSumOfTheMatrixRows) {
  double x, y, z;
  rgb2xyz(x, y, z, 255, 255, 255);
  EXPECT_EQ(x, (100 * 0.4124 + 100 * 0.3576) + 100 * 0.1805);
  EXPECT_EQ(y, (100 * 0.2126 + 100 * 0.7152) + 100 * 0.0722);
  EXPECT_EQ(z, (100 * 0.0193 + 100 * 0.1192) + 100 * 0.9505);
  EXPECT_NEAR(x, 95.05, 1e-9);
  EXPECT_NEAR(z, 108.9, 1e-9);
}

// vX = 95.05 / 95.047 is above 1, but trunc(1023 vX) is still 1023, the
// last table entry, so white comes out exactly.
TEST(Xyz2Lab, WhiteOfRgb2XyzIsExactlyL100) {
  double x, y, z, l, a, b;
  rgb2xyz(x, y, z, 255, 255, 255);
  xyz2lab(l, a, b, x, y, z);
  EXPECT_EQ(l, 100.0);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
}

TEST(Xyz2Lab, TableLinearSegmentAndExactRootBeyondTheTable) {
  double l, a, b;
  // y = 50: vY = 0.5, index trunc(511.5) = 511.
  xyz2lab(l, a, b, 95.047, 50, 108.883);
  EXPECT_EQ(l, 116 * fast_val_3[511] - 16);
  EXPECT_EQ(a, 500 * (1.0 - fast_val_3[511]));
  // y = 0.5: vY = 0.005 <= 0.008856, linear.
  xyz2lab(l, a, b, 0, 0.5, 0);
  EXPECT_EQ(l, 116 * (7.787 * 0.005 + 16.0 / 116) - 16);
  EXPECT_EQ(a, 500 * ((7.787 * 0.0 + 16.0 / 116) - (7.787 * 0.005 + 16.0 / 116)));
  // y = 150: index 1534 lies beyond the table, so the exact cube root.
  xyz2lab(l, a, b, 0, 150, 0);
  EXPECT_EQ(l, 116 * std::pow(1.5, 1.0 / 3) - 16);
}

TEST(Lab2Xyz, ExactCubeAndLinearSegment) {
  double x, y, z;
  lab2xyz(x, y, z, 50, 20, -30);
  const double vY = 66.0 / 116;
  EXPECT_EQ(y, std::pow(vY, 3.0) * 100);
  EXPECT_EQ(x, std::pow(20.0 / 500 + vY, 3.0) * 95.047);
  EXPECT_EQ(z, std::pow(vY - (-30.0) / 200, 3.0) * 108.883);
  lab2xyz(x, y, z, 5, 0, 0);  // vY = 21/116, cube 0.00593 <= 0.008856
  EXPECT_EQ(y, ((21.0 / 116 - 16.0 / 116) / 7.787) * 100);
}

TEST(Xyz2Rgb, QuantisedInsideAndUnclampedOutsideTheGamut) {
  double r, g, b;
  xyz2rgb(r, g, b, 0, 0, 0);
  EXPECT_EQ(r, 0.0);
  // A linear red of 0.5 uses the power of trunc(127.5) / 255.
  xyz2rgb(r, g, b, 50 / 3.2406, 0, 0);
  EXPECT_EQ(r, (1.055 * fast_val_2[127] - 0.055) * 255);
  // A green purer than the sRGB primary: red and blue go negative.
  xyz2rgb(r, g, b, 30, 90, 10);
  EXPECT_LT(r, 0.0);
  EXPECT_LT(b, 0.0);
  EXPECT_GT(g, 255.0);
  // Above 256/255 the exact power is used.
  xyz2rgb(r, g, b, 2 * 95.05, 200, 2 * 108.9);
  EXPECT_GT(r, 255.0 * 1.2);
}

TEST(Xyz2Rgb, LinearValueJustAboveThresholdTakesEntryZero) {
  double r, g, b;
  // Linear red 0.0035: above 0.0031308 but trunc(0.89) = 0.
  xyz2rgb(r, g, b, 0.35 / 3.2406, 0, 0);
  EXPECT_EQ(r, (1.055 * 0.0 - 0.055) * 255);
  EXPECT_NEAR(r, -14.025, 1e-9);
  // At or below the threshold, and for negative values: 12.92 c.
  xyz2rgb(r, g, b, -1.0, 0, 0);
  EXPECT_EQ(r, 12.92 * ((-1.0 / 100) * 3.2406) * 255);
}

TEST(CubeAsPow, MatchesPowBitForBit) {
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> in_use(-2.0, 3.0);
  for (int n = 0; n < 2'000'000; ++n) {
    const double v = in_use(random);
    ASSERT_EQ(cube_as_pow(v), std::pow(v, 3.0)) << v;
  }
  // Values next to exact cubes and special values.
  for (double v : {0.0, -0.0, 1.0, 0.5, 0.2068, 0.207, 1e-200, 1e200, double{INFINITY}, -double{INFINITY}}) {
    EXPECT_EQ(cube_as_pow(v), std::pow(v, 3.0)) << v;
    EXPECT_EQ(std::signbit(cube_as_pow(v)), std::signbit(std::pow(v, 3.0)));
  }
  EXPECT_TRUE(std::isnan(cube_as_pow(NAN)));
  for (int k = 1; k < 20000; ++k) {
    const double v = k / 8192.0;
    EXPECT_EQ(cube_as_pow(std::nextafter(v, 0.0)), std::pow(std::nextafter(v, 0.0), 3.0));
    EXPECT_EQ(cube_as_pow(std::nextafter(v, 9.0)), std::pow(std::nextafter(v, 9.0), 3.0));
  }
}

TEST(TruncateToInt, BehavesLikeTheMachineConversion) {
  EXPECT_EQ(truncate_to_int(2.9), 2);
  EXPECT_EQ(truncate_to_int(-2.9), -2);
  EXPECT_EQ(truncate_to_int(NAN), INT_MIN);
  EXPECT_EQ(truncate_to_int(3e9), INT_MIN);
}

}  // namespace
