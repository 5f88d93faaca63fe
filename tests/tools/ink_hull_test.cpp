#include "tools/lut_builder/ink_hull.h"

#include <gtest/gtest.h>

#include <vector>

namespace lut_builder {
namespace {

std::vector<Rgb> cube_corners(double low, double high) {
    std::vector<Rgb> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({i & 1 ? high : low, i & 2 ? high : low, i & 4 ? high : low});
    return corners;
}

TEST(InkHull, CubeWithFourCoplanarCornersPerFace) {
    const std::vector<Rgb> corners = cube_corners(10, 200);
    const auto hull = build_ink_hull(corners);
    ASSERT_TRUE(hull);
    // Every face yields the four triples of its corners.
    EXPECT_EQ(hull->facets.size(), 24u);

    EXPECT_TRUE(is_inside(*hull, {100, 100, 100}));
    for (const Rgb& corner : corners) EXPECT_TRUE(is_inside(*hull, corner));
    EXPECT_TRUE(is_inside(*hull, {200, 105, 10}));  // on an edge
    EXPECT_FALSE(is_inside(*hull, {200.001, 100, 100}));
    EXPECT_FALSE(is_inside(*hull, {100, 9.99, 100}));
    EXPECT_NEAR(distance_outside(*hull, {100, 100, 230}), 30.0, 1e-9);
    EXPECT_NEAR(distance_outside(*hull, {100, 100, 100}), -90.0, 1e-9);
    EXPECT_TRUE(is_inside(*hull, {200.5, 50, 50}, 0.6));
    EXPECT_FALSE(is_inside(*hull, {200.5, 50, 50}, 0.4));
}

TEST(InkHull, TetrahedronWithAnInteriorInk) {
    // The fifth ink lies inside and bounds nothing; the bounding box holds
    // points that the hull does not.
    const std::vector<Rgb> inks{{0, 0, 0}, {100, 0, 0}, {0, 100, 0}, {0, 0, 100}, {10, 10, 10}};
    const auto hull = build_ink_hull(inks);
    ASSERT_TRUE(hull);
    EXPECT_EQ(hull->facets.size(), 4u);
    EXPECT_TRUE(is_inside(*hull, {20, 20, 20}));
    EXPECT_TRUE(is_inside(*hull, {100.0 / 3, 100.0 / 3, 100.0 / 3}));  // on the slanted face
    EXPECT_FALSE(is_inside(*hull, {40, 40, 40}));
    EXPECT_FALSE(is_inside(*hull, {-1, 10, 10}));
}

TEST(InkHull, FlatOrTooFewInksGiveNoHull) {
    EXPECT_FALSE(build_ink_hull(std::vector<Rgb>{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}}));
    // Six inks on one plane (b = r).
    EXPECT_FALSE(build_ink_hull(std::vector<Rgb>{
        {0, 0, 0}, {255, 0, 255}, {0, 255, 0}, {255, 255, 255}, {40, 90, 40}, {100, 10, 100}}));
    // Six inks on one grey line.
    EXPECT_FALSE(build_ink_hull(std::vector<Rgb>{
        {0, 0, 0}, {10, 10, 10}, {50, 50, 50}, {90, 90, 90}, {120, 120, 120}, {255, 255, 255}}));
}

TEST(InkHull, DefaultStyleSixInks) {
    const std::vector<Rgb> inks{{28, 24, 38},  {188, 190, 180}, {196, 180, 36},
                                {130, 36, 38}, {52, 94, 66},    {36, 60, 124}};
    const auto hull = build_ink_hull(inks);
    ASSERT_TRUE(hull);
    for (const Rgb& ink : inks) EXPECT_TRUE(is_inside(*hull, ink));
    EXPECT_TRUE(is_inside(*hull, {100, 95, 90}));
    EXPECT_FALSE(is_inside(*hull, {255, 255, 255}));
    EXPECT_FALSE(is_inside(*hull, {0, 0, 0}));
    EXPECT_FALSE(is_inside(*hull, {36, 200, 124}));  // a green no ink mix can show
}

}  // namespace
}  // namespace lut_builder
