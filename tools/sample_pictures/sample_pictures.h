// The generated sample pictures. Every generator fills a picture of any size
// of at least 16 x 16 pixels; the layout scales with the size, and the same
// size always gives the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "tools/sample_pictures/picture.h"

namespace sample_pictures {

struct ChartPatch {
    std::string_view name;
    std::uint8_t r, g, b;
};

// The 24 patches of the classic colour checker chart with their published
// sRGB values, row by row: natural colours, miscellaneous colours, primaries
// and secondaries, and a neutral row from white to black.
inline constexpr std::array<ChartPatch, 24> kColourChart{{
    {"dark skin", 115, 82, 68},   {"light skin", 194, 150, 130},  {"blue sky", 98, 122, 157},
    {"foliage", 87, 108, 67},     {"blue flower", 133, 128, 177}, {"bluish green", 103, 189, 170},
    {"orange", 214, 126, 44},     {"purplish blue", 80, 91, 166}, {"moderate red", 193, 90, 99},
    {"purple", 94, 60, 108},      {"yellow green", 157, 188, 64}, {"orange yellow", 224, 163, 46},
    {"blue", 56, 61, 150},        {"green", 70, 148, 73},         {"red", 175, 54, 60},
    {"yellow", 231, 199, 31},     {"magenta", 187, 86, 149},      {"cyan", 8, 133, 161},
    {"white", 243, 243, 242},     {"neutral 8", 200, 200, 200},   {"neutral 6.5", 160, 160, 160},
    {"neutral 5", 122, 122, 121}, {"neutral 3.5", 85, 85, 85},    {"black", 52, 52, 52},
}};

// Where the chart's patches lie: patch i (row i / 6, column i % 6) covers
// left + column * pitch .. + size - 1, and likewise down from top.
struct ChartLayout {
    int left = 0;
    int top = 0;
    int size = 0;
    int pitch = 0;
};
ChartLayout chart_layout(int width, int height);

// The 24 patches, six by four, flat, on a black frame.
Picture colour_chart(int width, int height);

// Hue across lightness (every hue from white through the full colour to
// black), a smooth and a stepped grey ramp, and saturation ramps of six hues.
Picture sweeps(int width, int height);

// A zone plate, groups of thin lines at several spacings and angles, a
// line star, rows of text-like strokes in several sizes and contrasts, and
// one-pixel checkerboards and stripes.
Picture fine_detail(int width, int height);

// A range of skin colours from very light to deep, each a smoothly shaded
// ball lit from the upper left, on a soft neutral background.
Picture skin_tones(int width, int height);

// A small everything-at-once scene: sky with a sun, fields, a face, a colour
// chart, a grey ramp, a hue sweep and fine detail.
Picture scene(int width, int height);

// The photograph cut to the aspect ratio of width x height around its centre
// and resampled to that size: area averages when shrinking, bilinear
// interpolation when enlarging.
Picture fit_photo(const Picture& photo, int width, int height);

}  // namespace sample_pictures
