// Areas of one ink stay solid: a picture of panels in every ink, pure black
// and pure white, each crossed by one- and two-pixel lines of the others,
// comes out of both renderers with every pixel of every area in its ink.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "morva6/morva6.h"
#include "tools/lut_builder/palette_text.h"
#include "tests/support/support.h"
#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/kernel_rounding.h"
#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/palette_table.h"

namespace lut_builder {
namespace {

constexpr int kPanelWidth = 9;
constexpr int kHeight = 24;

// Area labels: 0..n-1 the inks, n pure black, n+1 pure white.
std::vector<int> flat_labels(int inks, int& width) {
    const int areas = inks + 2;
    width = areas * kPanelWidth;
    std::vector<int> labels(static_cast<std::size_t>(width) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < width; ++x) {
            const int panel = x / kPanelWidth;
            int label = panel;
            if (y == 6) label = (panel + 1) % areas;                              // a line across
            if (y > 10 && x % kPanelWidth / 2 == 2) label = (panel + 3) % areas;  // a stroke down
            if (y > 18 && (x + y) % 5 == 0) label = (panel + 5) % areas;          // a slanted dotted line
            labels[static_cast<std::size_t>(y) * width + x] = label;
        }
    return labels;
}

// The colour of every label: the inks, then pure black and pure white.
std::vector<Rgb8> area_colours(std::vector<Rgb8> inks) {
    inks.push_back({0, 0, 0});
    inks.push_back({255, 255, 255});
    return inks;
}

// Every pixel of area `label` shows ink expected[label].
void expect_solid(const std::vector<int>& labels, const std::vector<int>& shown, const std::vector<int>& expected,
                  const std::string& what) {
    std::vector<int> wrong(expected.size(), 0);
    for (std::size_t i = 0; i < labels.size(); ++i) wrong[labels[i]] += shown[i] != expected[labels[i]];
    for (std::size_t label = 0; label < expected.size(); ++label)
        EXPECT_EQ(wrong[label], 0) << what << ", area " << label;
}

const InkMixer& six_inks() {
    static const InkMixer mixer = [] {
        std::vector<Rgb> engine;
        std::vector<LinearRgb> light;
        for (const Rgb8& ink : kDefaultInks) {
            engine.push_back(to_rgb(ink));
            light.push_back(linear_from_rgb(to_rgb(ink)));
        }
        return *make_ink_mixer(engine, light, kBlackInk, kWhiteInk).mixer;
    }();
    return mixer;
}

// The mean colour the engine of `method` lays down on a flat patch of
// `entry`, away from the patch's edges.
Rgb engine_mean(Rgb8 entry, int method) {
    std::vector<Rgb8> table(kTableEntries, entry);
    const std::vector<std::uint8_t> lut = encode_morva6_lut(kDefaultInks, table);
    EXPECT_EQ(Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())), OVEX_OK);
    constexpr int size = 96;
    std::vector<std::uint8_t> patch(3 * size * size, 0);
    std::vector<std::uint8_t> shown(patch.size());
    Ovex_Morva6_render(patch.data(), 0, shown.data(), 0, size, size, method - 1, OVEX_MODE_SIMULATION);
    Rgb sum;
    int count = 0;
    for (int y = 16; y < size - 16; ++y)
        for (int x = 16; x < size - 16; ++x, ++count) {
            const std::uint8_t* s = &shown[3 * (y * size + x)];
            sum = {sum.r + s[0], sum.g + s[1], sum.b + s[2]};
        }
    return {sum.r / count, sum.g / count, sum.b / count};
}

// Entries made for a kernel's rounding bring what the engine lays down onto
// the target: by its own measure, then on patches of mixes of two to four
// inks, where plain rounding leaves the three-row kernels several units off.
TEST(KernelRounding, EnginesLayDownTheirTargets) {
    const InkMixer& m = six_inks();
    const std::vector<std::vector<double>> mixes{
        {0.7, 0.3, 0, 0, 0, 0}, {0.1, 0.5, 0.4, 0, 0, 0}, {0.2, 0.3, 0, 0.3, 0, 0.2}, {0.3, 0.2, 0, 0, 0.5, 0}};
    for (const int method : {6}) {
        const RoundingBias measured = measure_rounding(m, kDefaultInks, method);
        for (const std::vector<double>& mix : mixes) {
            const Rgb target = engine_average(m, mix);
            const Rgb shown = engine_mean(to_bytes(compensate_rounding(measured, target)), method);
            const double off =
                std::max({std::fabs(shown.r - target.r), std::fabs(shown.g - target.g), std::fabs(shown.b - target.b)});
            EXPECT_LT(off, 1.5) << "method " << method << ", target " << target.r << "," << target.g << "," << target.b;
        }
    }
}

TEST(FlatInks, SixInkAreasStaySolidWithEveryMethod) {
    const InkMixer& mixer = six_inks();
    const std::vector<std::uint8_t> lut = encode_morva6_lut(kDefaultInks, mixing_table(mixer));
    ASSERT_EQ(Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())), OVEX_OK);

    int width = 0;
    const std::vector<int> labels = flat_labels(kInkCount, width);
    const std::vector<Rgb8> colours = area_colours({kDefaultInks.begin(), kDefaultInks.end()});
    std::vector<std::uint8_t> picture;
    for (const int label : labels)
        picture.insert(picture.end(), {colours[label].r, colours[label].g, colours[label].b});
    std::vector<std::uint8_t> codes(picture.size());
    // The timing-controller code of each ink (black, white, yellow, red, green, blue).
    constexpr std::array<int, kInkCount> kCode{0x00, 0x78, 0x20, 0x40, 0x30, 0x10};
    const std::vector<int> expected{kCode[0], kCode[1], kCode[2], kCode[3], kCode[4], kCode[5], kCode[0], kCode[1]};
    for (std::int32_t method = OVEX_DITHER_FLOYD; method <= OVEX_DITHER_STUCKI_SERPENTINE; ++method) {
        ASSERT_EQ(Ovex_Morva6_render(picture.data(), 0, codes.data(), 0, width, kHeight, method, OVEX_MODE_TCON),
                  OVEX_OK);
        std::vector<int> shown;
        for (std::size_t i = 0; i < codes.size(); i += 3) shown.push_back(codes[i]);
        expect_solid(labels, shown, expected, "method " + std::to_string(method));
    }
}

TEST(FlatInks, EightColourAreasStaySolid) {
    const test_support::TempDir dir;
    const std::string palette = "16,1.5,-2 73,-1,3.5 68,-4,52 40,36,22 30,6,-30 44,-26,10 55,24,42 33,18,-17";
    ASSERT_EQ(test_support::run_command(std::string(MAKE_RENDER_DATA_EXE) + " --palette-lab '" + palette + "' " +
                                        dir.path().string() + " LOT_FLAT_TC_03 0 50")
                  .status,
              0);
    std::string error;
    const std::vector<Lab> lab = *parse_lab_colours(palette, kPaletteColours, error);
    std::vector<Rgb8> inks;
    for (const Lab& colour : lab) inks.push_back(to_bytes(rgb_from_lab(colour)));
    int width = 0;
    const std::vector<int> labels = flat_labels(static_cast<int>(inks.size()), width);
    const std::vector<Rgb8> colours = area_colours(inks);
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(kHeight) + "\n255\n";
    for (const int label : labels) ppm += {char(colours[label].r), char(colours[label].g), char(colours[label].b)};
    test_support::write_file(dir / "flat.ppm", ppm);
    ASSERT_EQ(test_support::run_command(std::string(ULMARENDER_EXE) + " " + (dir / "flat.ppm").string() + " " +
                                        (dir / "flat.pgm").string() + " " + (dir / "LOT_FLAT_TC_03").string() + " 25")
                  .status,
              0);
    const std::string pgm = test_support::read_file(dir / "flat.pgm");
    ASSERT_EQ(pgm.size(), ppm.size() - 2 * labels.size());
    // The panel code x 8 of each palette index; pure black is the darkest
    // colour (0), pure white the lightest (1).
    constexpr std::array<int, 8> kByte{0, 32, 40, 48, 8, 24, 16, 56};
    std::vector<int> expected(kByte.begin(), kByte.end());
    expected.insert(expected.end(), {kByte[0], kByte[1]});
    std::vector<int> shown;
    for (std::size_t i = pgm.size() - labels.size(); i < pgm.size(); ++i)
        shown.push_back(static_cast<std::uint8_t>(pgm[i]));
    expect_solid(labels, shown, expected, "eight colours");
}

}  // namespace
}  // namespace lut_builder
