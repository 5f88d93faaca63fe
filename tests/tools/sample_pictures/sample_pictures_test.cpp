// The sample pictures pinned whole: hashes of every generator at a panel
// size and an odd size, and of the photograph fitting.
#include "tools/sample_pictures/sample_pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <utility>

namespace sample_pictures {
namespace {

std::uint64_t hash(const Picture& p) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a over size and pixels
    for (const std::uint8_t byte : p.rgb) h = (h ^ byte) * 1099511628211ull;
    return h ^ (std::uint64_t(p.width) << 32 | std::uint32_t(p.height));
}

Picture gradient(int width, int height) {
    Picture p = blank_picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) put(p, x, y, {x * 10.0, y * 10.0, 100.0});
    return p;
}

TEST(SamplePictures, GoldenHashes) {
    const std::pair<Picture, std::uint64_t> cases[] = {
        {colour_chart(800, 480), 0x8bd1ac2b60df01af},
        {colour_chart(17, 16), 0x4fbe34c3a282a648},
        {sweeps(800, 480), 0x946480dcdcf29117},
        {sweeps(16, 33), 0x687e830a81539e1a},
        {fine_detail(800, 480), 0x85fa1a2bdf067387},
        {fine_detail(17, 16), 0x1953245f692bc24b},
        {skin_tones(800, 480), 0xa640e996845b663c},
        {skin_tones(16, 33), 0x9c7b50dc9df14a97},
        {scene(800, 480), 0x9136437b2f8c2e68},
        {scene(17, 16), 0x9b8de5269e56071f},
        {fit_photo(gradient(8, 4), 4, 2), 0x7b31c28731acd641},   // halving: 2 x 2 averages
        {fit_photo(gradient(10, 4), 4, 4), 0xae5fd53ea6f690c7},  // the centre cut
        {fit_photo(gradient(2, 1), 8, 4), 0x3c5eb06c545af007},   // enlarging
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(hash(cases[i].first), cases[i].second) << "case " << i << " 0x" << std::hex << hash(cases[i].first);
    EXPECT_EQ(fit_photo(gradient(20, 12), 20, 12).rgb, gradient(20, 12).rgb);  // same size: a copy
    // A readable anchor: the chart's first patch holds its published value.
    const Rgb skin = at(colour_chart(800, 480), chart_layout(800, 480).left, chart_layout(800, 480).top);
    EXPECT_EQ(int(skin.r) << 16 | int(skin.g) << 8 | int(skin.b),
              kColourChart[0].r << 16 | kColourChart[0].g << 8 | kColourChart[0].b);
}

}  // namespace
}  // namespace sample_pictures
