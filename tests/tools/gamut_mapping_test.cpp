#include "tools/lut_builder/gamut_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/lut_table.h"

namespace lut_builder {
namespace {

// Entries are rounded to bytes, which moves them up to sqrt(3)/2 byte units.
constexpr double kRoundedTolerance = 1.5;

std::vector<Rgb> default_inks() {
    std::vector<Rgb> inks;
    for (const Rgb8& ink : kDefaultInks) inks.push_back(to_rgb(ink));
    return inks;
}

GamutTarget target_for(std::vector<Rgb> inks, MappingSettings settings = {}) {
    GamutTargetResult result = make_gamut_target(inks, kBlackInk, kWhiteInk, settings);
    EXPECT_TRUE(result.target) << result.error;
    return *result.target;
}

// The default table is expensive enough to build once for all tests.
const std::vector<Rgb8>& default_table() {
    static const std::vector<Rgb8> table = mapped_table(target_for(default_inks()));
    return table;
}

double hue_of(Lab lab) { return std::atan2(lab.b, lab.a); }

double hue_difference(double a, double b) {
    const double pi = std::acos(-1.0);
    double d = std::fabs(a - b);
    return d > pi ? 2 * pi - d : d;
}

TEST(GamutMapping, EveryEntryOfTheDefaultTableIsInsideTheInkHull) {
    const GamutTarget target = target_for(default_inks());
    double worst = -1e9;
    for (const Rgb8& entry : default_table())
        worst = std::max(worst, distance_outside(target.hull, to_rgb(entry)));
    EXPECT_LE(worst, kRoundedTolerance);
}

TEST(GamutMapping, GreyAxisLightnessNeverFalls) {
    double previous = -1.0;
    for (int cell = 0; cell < kGridLevels; ++cell) {
        const std::uint8_t v = cell_level(cell);
        const double lightness = lab_from_rgb(to_rgb(default_table()[table_index(v, v, v)])).l;
        EXPECT_GE(lightness, previous) << "cell " << cell;
        previous = lightness;
    }
}

TEST(GamutMapping, BlackAndWhiteInputsLandOnTheBlackAndWhiteInks) {
    const Rgb8 black = default_table()[table_index(0, 0, 0)];
    const Rgb8 white = default_table()[table_index(255, 255, 255)];
    const Rgb8 black_ink = kDefaultInks[kBlackInk];
    const Rgb8 white_ink = kDefaultInks[kWhiteInk];
    EXPECT_NEAR(black.r, black_ink.r, 3);
    EXPECT_NEAR(black.g, black_ink.g, 3);
    EXPECT_NEAR(black.b, black_ink.b, 3);
    EXPECT_NEAR(white.r, white_ink.r, 3);
    EXPECT_NEAR(white.g, white_ink.g, 3);
    EXPECT_NEAR(white.b, white_ink.b, 3);
}

TEST(GamutMapping, ReachableColoursStayPutWhenNothingIsCompressed) {
    // With lightness and chroma both clipped, a colour the inks can already
    // mix, of a lightness between the black and white ink, is left as it is.
    const GamutTarget target =
        target_for(default_inks(), {LightnessMode::clip, ChromaMode::clip, 0.8});
    for (const Rgb colour : {Rgb{100, 95, 90}, Rgb{120, 80, 60}, Rgb{70, 80, 90}}) {
        ASSERT_TRUE(is_inside(target.hull, colour));
        const Rgb mapped = map_colour(target, colour);
        EXPECT_NEAR(mapped.r, colour.r, 1e-6);
        EXPECT_NEAR(mapped.g, colour.g, 1e-6);
        EXPECT_NEAR(mapped.b, colour.b, 1e-6);
    }
}

TEST(GamutMapping, SaturatedColoursKeepTheirHueAndReachTheBoundary) {
    const GamutTarget clip =
        target_for(default_inks(), {LightnessMode::linear, ChromaMode::clip, 0.8});
    const GamutTarget compress = target_for(default_inks());
    for (const Rgb colour : {Rgb{200, 40, 40}, Rgb{60, 170, 80}, Rgb{60, 70, 220}, Rgb{250, 240, 20}}) {
        const Lab in = lab_from_rgb(colour);
        const Rgb clipped = map_colour(clip, colour);
        const Rgb compressed = map_colour(compress, colour);
        for (const Rgb mapped : {clipped, compressed}) {
            const Lab out = lab_from_rgb(mapped);
            EXPECT_TRUE(is_inside(clip.hull, mapped));
            EXPECT_NEAR(out.l, target_lightness(clip, in.l), 1e-6);
            EXPECT_LT(hue_difference(hue_of(out), hue_of(in)), 0.05);
        }
        // These inputs lie beyond what the inks reach: clipping lands on the
        // hull surface, compressing between the knee and the surface.
        EXPECT_GT(distance_outside(clip.hull, clipped), -1e-3);
        const double clipped_chroma = chroma(lab_from_rgb(clipped));
        const double compressed_chroma = chroma(lab_from_rgb(compressed));
        EXPECT_LE(compressed_chroma, clipped_chroma + 1e-6);
        EXPECT_GE(compressed_chroma, 0.8 * clipped_chroma - 1e-6);
    }
}

TEST(GamutMapping, CompressKeepsIncreasingChromaInOrderWhereClipMergesIt) {
    const GamutTarget compress = target_for(default_inks());
    const GamutTarget clip = target_for(default_inks(), {LightnessMode::linear, ChromaMode::clip, 0.8});
    // Reds of one lightness and hue with rising saturation.
    double previous_compressed = -1.0;
    std::vector<double> clipped;
    for (int step = 1; step <= 10; ++step) {
        const Lab lab{50.0, 6.0 * step, 4.0 * step};
        const Rgb colour = rgb_from_lab(lab);
        ASSERT_TRUE(std::min({colour.r, colour.g, colour.b}) >= 0.0 &&
                    std::max({colour.r, colour.g, colour.b}) <= 255.0);
        const double compressed = chroma(lab_from_rgb(map_colour(compress, colour)));
        EXPECT_GT(compressed, previous_compressed) << "step " << step;
        previous_compressed = compressed;
        clipped.push_back(chroma(lab_from_rgb(map_colour(clip, colour))));
    }
    EXPECT_NEAR(clipped[8], clipped[9], 1e-3);  // both cut at the boundary
    EXPECT_LT(previous_compressed, clipped[9] + 1e-3);
}

TEST(GamutMapping, TintedPaperWhiteStillMapsInsideAndWhiteGoesToPaper) {
    // A strongly yellowish white ink: the neutral greys near the top are out
    // of reach, so the mapping leans towards the black-white ink segment.
    std::vector<Rgb> inks = default_inks();
    inks[kWhiteInk] = {205, 190, 120};
    const GamutTarget target = target_for(inks);
    for (int r = 0; r < kGridLevels; r += 3)
        for (int g = 0; g < kGridLevels; g += 3)
            for (int b = 0; b < kGridLevels; b += 3) {
                const Rgb input{double(cell_level(r)), double(cell_level(g)), double(cell_level(b))};
                const Rgb8 entry = to_bytes(map_colour(target, input));
                ASSERT_LE(distance_outside(target.hull, to_rgb(entry)), kRoundedTolerance)
                    << r << "," << g << "," << b;
            }
    const Rgb8 white = to_bytes(map_colour(target, {255, 255, 255}));
    EXPECT_NEAR(white.r, 205, 3);
    EXPECT_NEAR(white.g, 190, 3);
    EXPECT_NEAR(white.b, 120, 3);
    const Lab anchor = anchor_colour(target, (target.black_lightness + target.white_lightness) / 2);
    EXPECT_TRUE(is_inside(target.hull, rgb_from_lab(anchor)));
}

TEST(GamutMapping, AnchorIsNeutralWhereTheGreyIsReachable) {
    const GamutTarget target = target_for(default_inks());
    const Lab mid = anchor_colour(target, 45.0);
    EXPECT_EQ(mid.a, 0.0);
    EXPECT_EQ(mid.b, 0.0);
    // At the white ink's own lightness only the (tinted) white ink is left.
    const Lab top = anchor_colour(target, target.white_lightness);
    const Lab white = lab_from_rgb(target.white_ink);
    EXPECT_NEAR(top.a, white.a, 0.5);
    EXPECT_NEAR(top.b, white.b, 0.5);
}

TEST(GamutMapping, UnusableInksAreRejected) {
    std::vector<Rgb> swapped = default_inks();
    std::swap(swapped[kBlackInk], swapped[kWhiteInk]);
    const GamutTargetResult result = make_gamut_target(swapped, kBlackInk, kWhiteInk, {});
    EXPECT_FALSE(result.target);
    EXPECT_NE(result.error.find("lighter"), std::string::npos);
    EXPECT_FALSE(make_gamut_target(default_inks(), 0, 6, {}).target);
    std::vector<Rgb> beyond = default_inks();
    beyond[2] = {256, 0, 0};
    EXPECT_FALSE(make_gamut_target(beyond, 0, 1, {}).target);
}

}  // namespace
}  // namespace lut_builder
