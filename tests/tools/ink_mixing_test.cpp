// The principle of both tables, checked on a few colours: the renderer's own
// average that a table entry aims at lays down ink proportions whose mix in
// linear light is the colour wanted (or, out of reach, a reachable colour).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/ink_mixing.h"
#include "tools/lut_builder/lut_table.h"
#include "tools/lut_builder/palette_table.h"
#include "tools/lut_builder/renderer_patches.h"

namespace lut_builder {
namespace {

InkMixer make_six_inks() {
    std::vector<Rgb> engine;
    std::vector<LinearRgb> light;
    for (const Rgb8& ink : kDefaultInks) {
        engine.push_back(to_rgb(ink));
        light.push_back(linear_from_rgb(to_rgb(ink)));
    }
    return *make_ink_mixer(engine, light, kBlackInk, kWhiteInk).mixer;
}

const InkMixer& six_inks() {
    static const InkMixer mixer = make_six_inks();
    return mixer;
}

const std::vector<Lab> kPalette{{16.0, 1.5, -2.0},  {73.0, -1.0, 3.5},   {68.0, -4.0, 52.0}, {40.0, 36.0, 22.0},
                                {30.0, 6.0, -30.0}, {44.0, -26.0, 10.0}, {55.0, 24.0, 42.0}, {33.0, 18.0, -17.0}};

const InkMixer& palette_mixer() {
    static const InkMixer mixer = *make_palette_mixer(kPalette).mixer;
    return mixer;
}

Lab lab_of(LinearRgb v) { return lab_from_xyz(xyz_from_linear(v)); }

// Mixes of the inks in known proportions are reachable colours.
LinearRgb mix(const InkMixer& m, const std::vector<double>& w) { return light_mix(m, w); }

// Tolerance: one byte step of an entry moves the mix by at most about 1 CIEDE2000.
constexpr double kMixTolerance = 1.0;

TEST(InkMixing, SixInkEntriesMixBackToTheReachableColourInLinearLight) {
    const InkMixer& m = six_inks();
    const std::vector<LinearRgb> reachable{mix(m, {0.5, 0.5, 0, 0, 0, 0}), mix(m, {0.1, 0.3, 0.2, 0.2, 0.1, 0.1}),
                                           mix(m, {0, 0.4, 0.6, 0, 0, 0}), mix(m, {0.2, 0, 0, 0.3, 0, 0.5}),
                                           m.light[4]};
    for (const LinearRgb& colour : reachable) {
        ASSERT_TRUE(is_reachable(m, colour));
        // Through the bytes the table stores, as the engine sees them.
        const Rgb entry = to_rgb(to_bytes(engine_target_for(m, colour)));
        const LinearRgb shown = light_mix(m, engine_proportions(m, entry));
        EXPECT_LT(delta_e2000(lab_of(shown), lab_of(colour)), kMixTolerance);
    }
    // The sRGB average is not the linear one: the half-way mix of black and
    // white in linear light needs a target well above the inks' sRGB average.
    EXPECT_GT(engine_target_for(m, reachable.front()).g, (kDefaultInks[0].g + kDefaultInks[1].g) / 2.0 + 8.0);
}

TEST(InkMixing, OutOfReachColoursGoToTheClosestReachableColour) {
    const InkMixer& m = six_inks();
    for (const Rgb wanted : {Rgb{255, 0, 0}, Rgb{255, 255, 255}, Rgb{0, 0, 0}, Rgb{0, 200, 255}}) {
        const LinearRgb want = linear_from_rgb(wanted);
        ASSERT_FALSE(is_reachable(m, want));
        const LinearRgb target = reachable_target(m, want);
        EXPECT_TRUE(is_reachable(m, target));
        // No ink nor the mid grey is closer to what was wanted.
        const double distance = delta_e2000(lab_of(target), lab_of(want));
        for (const LinearRgb& ink : m.light) EXPECT_LE(distance, delta_e2000(lab_of(ink), lab_of(want)) + 0.5);
        const LinearRgb shown = light_mix(m, proportions_for(m, target));
        EXPECT_LT(delta_e2000(lab_of(shown), lab_of(target)), 1e-6);
    }
}

TEST(InkMixing, PaletteEntriesMixBackThroughTheRenderersCielabAverage) {
    const InkMixer& m = palette_mixer();
    EXPECT_EQ(m.white, 1u);  // the lightest colour
    for (const std::vector<double>& w :
         {std::vector<double>{0.5, 0.5, 0, 0, 0, 0, 0, 0}, std::vector<double>{0, 0.3, 0.3, 0, 0, 0.4, 0, 0},
          std::vector<double>{0.1, 0.2, 0, 0.3, 0.2, 0, 0, 0.2}}) {
        const LinearRgb colour = mix(m, w);
        const Rgb average = engine_target_for(m, colour);
        const Lab stored = lab_from_rgb(to_rgb(to_bytes(rgb_from_lab({average.r, average.g, average.b}))));
        // Less the renderer's lightness loss the entry is lifted for; the
        // stored bytes are coarser in CIELAB than in sRGB.
        const LinearRgb shown = light_mix(m, engine_proportions(m, {stored.l - kLightnessLift, stored.a, stored.b}));
        EXPECT_LT(delta_e2000(lab_of(shown), lab_of(colour)), 1.5 * kMixTolerance);
    }
}

TEST(InkMixing, GreenEnhancementIsUndone) {
    // The renderer's own examples: (0, 128, 0) becomes (0, 214, 0) and (200, 50, 50)
    // becomes (209, 52, 52), both after truncation to bytes.
    EXPECT_NEAR(undo_green_enhancement({0, 214, 0}).g, 128.0, 2.0);
    EXPECT_NEAR(undo_green_enhancement({209, 52, 52}).r, 200.0, 2.0);
    EXPECT_NEAR(undo_green_enhancement({209, 52, 52}).g, 50.0, 1.0);
    EXPECT_EQ(undo_green_enhancement({128, 128, 128}).g, 128.0);  // greys, magenta and full green stay
    EXPECT_EQ(undo_green_enhancement({255, 0, 255}).r, 255.0);
    EXPECT_EQ(undo_green_enhancement({0, 255, 0}).g, 255.0);
}

// A palette whose green and blue lie beyond the sRGB cube: the renderer
// clips what it runs on to the cube, so the entry that lays down a
// yellow-green or a sky blue lies far from it. The default aims such a
// palette's entries at the mix the eye sees, and their patches come closer
// to their colour (CIEDE2000 6.2 to 9.5 against 7.5 to 14.6 aimed at the
// CIELAB average, --no-aim-mix).
TEST(InkMixing, AimMixPatchesComeCloserBeyondTheCube) {
    const std::vector<Lab> vivid{{10, 0, 0},    {90, 0, 0},    {88, -6, 85}, {50, 65, 50},
                                 {30, 25, -65}, {60, -60, 40}, {68, 40, 70}, {40, 50, -45}};
    const InkMixer m = *make_palette_mixer(vivid).mixer;
    TableChoices choices;
    choices.flat_inks = false;
    const std::vector<Rgb8> table = palette_table(m, choices);
    const RendererPalette renderer(vivid);
    double sum = 0.0;
    for (const Rgb8 cell : {Rgb8{40, 40, 10}, Rgb8{15, 30, 50}, Rgb8{30, 40, 60}}) {
        const Rgb8 input{cell_level(cell.r), cell_level(cell.g), cell_level(cell.b)};
        const Lab wanted = lab_of(reachable_target(m, linear_from_rgb(undo_green_enhancement(to_rgb(input)))));
        sum += delta_e2000(renderer.mix_on_patch(table[table_index(input.r, input.g, input.b)]), wanted);
    }
    EXPECT_LT(sum, 25.0);  // 22.3; aimed at the average 31.1
}

// The default aims at the mix only for palettes beyond the cube; a colour
// on the cube's surface (the sRGB blue) is inside.
TEST(InkMixing, PalettesBeyondTheCube) {
    const std::vector<Lab> vivid{{10, 0, 0},    {90, 0, 0},    {88, -6, 85}, {50, 65, 50},
                                 {30, 25, -65}, {60, -60, 40}, {68, 40, 70}, {40, 50, -45}};
    EXPECT_TRUE(beyond_srgb_cube(vivid));
    std::vector<Lab> inside{{16, 1.5, -2}, {73, -1, 3.5}, {68, -4, 52}, {40, 36, 22},
                            {30, 6, -30},  {44, -26, 10}, {55, 24, 42}, {32.30, 79.19, -107.86}};
    EXPECT_FALSE(beyond_srgb_cube(inside));
    inside.back().b = -112;
    EXPECT_TRUE(beyond_srgb_cube(inside));
}

// The renderer runs on the palette in memory: no file in the temporary
// folder, where a name another user could foresee (and link elsewhere)
// once stood.
TEST(InkMixing, RendererPatchesWriteNoTemporaryFile) {
    const std::filesystem::path folder = std::filesystem::path(TEST_BINARY_DIR) / "renderer_patches_tmp";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const char* const earlier = std::getenv("TMPDIR");
    const std::string kept = earlier != nullptr ? earlier : "";
    setenv("TMPDIR", folder.c_str(), 1);
    const std::vector<Lab> palette{{16, 1.5, -2}, {73, -1, 3.5}, {68, -4, 52}, {40, 36, 22},
                                   {30, 6, -30},  {44, -26, 10}, {55, 24, 42}, {33, 18, -17}};
    const RendererPalette renderer(palette);
    const Lab grey = renderer.mean_on_patch({128, 128, 128});
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    earlier != nullptr ? setenv("TMPDIR", kept.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_NE(grey.l, lab_from_rgb({128, 128, 128}).l);  // measured, not the colour given back
}

TEST(InkMixing, TablesAreTheSameFromRunToRun) {
    // Two mixers made apart, so nothing cached in one can hide a difference.
    EXPECT_EQ(mixing_table(six_inks()), mixing_table(make_six_inks()));
    EXPECT_EQ(palette_table(palette_mixer()), palette_table(*make_palette_mixer(kPalette).mixer));
}

}  // namespace
}  // namespace lut_builder
