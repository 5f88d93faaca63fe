#include "tools/sample_pictures/sample_pictures.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace sample_pictures {
namespace {

void expect_pixel(const Picture& p, int x, int y, int r, int g, int b, const std::string& what) {
    const Rgb c = at(p, x, y);
    EXPECT_EQ(c.r, r) << what;
    EXPECT_EQ(c.g, g) << what;
    EXPECT_EQ(c.b, b) << what;
}

class Sizes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(Sizes, ChartPatchesHoldThePublishedValuesInsideAFrame) {
    const auto [width, height] = GetParam();
    const Picture chart = colour_chart(width, height);
    const ChartLayout layout = chart_layout(width, height);
    ASSERT_GE(layout.left, 1);
    ASSERT_GE(layout.top, 1);
    ASSERT_LE(layout.left + 5 * layout.pitch + layout.size, width);
    ASSERT_LE(layout.top + 3 * layout.pitch + layout.size, height);
    for (int i = 0; i < 24; ++i) {
        const ChartPatch& patch = kColourChart[static_cast<std::size_t>(i)];
        const int x0 = layout.left + i % 6 * layout.pitch;
        const int y0 = layout.top + i / 6 * layout.pitch;
        const std::string name(patch.name);
        // First, middle and last pixel of the patch, and the gap after it.
        expect_pixel(chart, x0, y0, patch.r, patch.g, patch.b, name);
        expect_pixel(chart, x0 + layout.size / 2, y0 + layout.size / 2, patch.r, patch.g, patch.b, name);
        expect_pixel(chart, x0 + layout.size - 1, y0 + layout.size - 1, patch.r, patch.g, patch.b, name);
        expect_pixel(chart, x0 + layout.size, y0, 24, 24, 24, name + " gap");
    }
    expect_pixel(chart, 0, 0, 24, 24, 24, "frame");
    expect_pixel(chart, width - 1, height - 1, 24, 24, 24, "frame");
}

TEST_P(Sizes, EveryGeneratorFillsThePictureTheSameWayTwice) {
    const auto [width, height] = GetParam();
    for (auto make : {colour_chart, sweeps, fine_detail, skin_tones, scene}) {
        const Picture first = make(width, height);
        ASSERT_EQ(first.width, width);
        ASSERT_EQ(first.height, height);
        ASSERT_EQ(first.rgb.size(), static_cast<std::size_t>(width) * height * 3);
        EXPECT_EQ(make(width, height).rgb, first.rgb);
        // Not a flat picture: at least a handful of colours.
        std::set<int> colours;
        for (std::size_t i = 0; i < first.rgb.size() && colours.size() < 8; i += 3)
            colours.insert(first.rgb[i] << 16 | first.rgb[i + 1] << 8 | first.rgb[i + 2]);
        EXPECT_GE(colours.size(), 4u);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, Sizes,
                         ::testing::Values(std::pair{800, 480}, std::pair{1600, 1200}, std::pair{17, 16},
                                           std::pair{16, 33}));

TEST(Sweeps, GreyRampsRunFromBlackToWhite) {
    const Picture p = sweeps(800, 480);
    const int smooth = 480 * 60 / 100;  // inside the smooth ramp
    const int steps = 480 * 70 / 100;   // inside the stepped ramp
    expect_pixel(p, 0, smooth, 0, 0, 0, "smooth left");
    expect_pixel(p, 799, smooth, 255, 255, 255, "smooth right");
    expect_pixel(p, 0, steps, 0, 0, 0, "steps left");
    expect_pixel(p, 799, steps, 255, 255, 255, "steps right");
    // 16 steps of 50 pixels: constant within a step, 17 apart between steps.
    expect_pixel(p, 50, steps, 17, 17, 17, "second step");
    expect_pixel(p, 99, steps, 17, 17, 17, "second step end");
    // The hue band: pure red at the left edge half way down.
    const Rgb red = at(p, 0, 480 * 55 / 200);
    EXPECT_GT(red.r, 240);
    EXPECT_LT(red.g, 10);
}

TEST(FineDetail, OnePixelPatternsAlternateEveryPixel) {
    const Picture p = fine_detail(800, 480);
    // Top-right tile, first block: one-pixel vertical lines.
    EXPECT_NE(at(p, 400, 10).r, at(p, 401, 10).r);
    EXPECT_EQ(at(p, 400, 10).r, at(p, 402, 10).r);
    // Bottom-right tile, right half, top third: one-pixel checkerboard.
    const int x = 400 + 300, y = 240 + 10;
    EXPECT_NE(at(p, x, y).r, at(p, x + 1, y).r);
    EXPECT_NE(at(p, x, y).r, at(p, x, y + 1).r);
    EXPECT_EQ(at(p, x, y).r, at(p, x + 1, y + 1).r);
}

Picture gradient(int width, int height) {
    Picture p = blank_picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) put(p, x, y, {x * 10.0, y * 10.0, 100.0});
    return p;
}

TEST(FitPhoto, SameSizeIsAnExactCopy) {
    const Picture photo = gradient(20, 12);
    EXPECT_EQ(fit_photo(photo, 20, 12).rgb, photo.rgb);
}

TEST(FitPhoto, HalvingAveragesTwoByTwoBlocks) {
    const Picture photo = gradient(8, 4);
    const Picture half = fit_photo(photo, 4, 2);
    // Block (1, 0): columns 2-3, rows 0-1 -> red (20+30)/2, green (0+10)/2.
    expect_pixel(half, 1, 0, 25, 5, 100, "block 1,0");
    expect_pixel(half, 3, 1, 65, 25, 100, "block 3,1");
}

TEST(FitPhoto, CutsTheCentreToTheTargetAspect) {
    // 10 x 4 to 4 x 4: the centre four columns (3..6), one to one.
    const Picture photo = gradient(10, 4);
    const Picture square = fit_photo(photo, 4, 4);
    expect_pixel(square, 0, 0, 30, 0, 100, "left column");
    expect_pixel(square, 3, 3, 60, 30, 100, "right column");
    // 4 x 10 to 4 x 4: the centre four rows.
    const Picture tall = gradient(4, 10);
    expect_pixel(fit_photo(tall, 4, 4), 0, 0, 0, 30, 100, "top row");
}

TEST(FitPhoto, EnlargingInterpolatesBetweenPixelsAndKeepsTheEnds) {
    const Picture photo = gradient(2, 1);  // red 0 and 10
    const Picture wide = fit_photo(photo, 8, 4);  // cut to 2 x 1, then x4
    double previous = -1.0;
    for (int x = 0; x < 8; ++x) {
        const double r = at(wide, x, 0).r;
        EXPECT_GE(r, previous);
        previous = r;
    }
    EXPECT_EQ(at(wide, 0, 0).r, 0);
    EXPECT_EQ(at(wide, 7, 3).r, 10);
}

}  // namespace
}  // namespace sample_pictures
