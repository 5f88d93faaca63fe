#include "tools/render_data/render_data.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/lut_builder/gamut_mapping.h"
#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/lut_table.h"

namespace render_data {
namespace {

namespace fs = std::filesystem;
using lut_builder::Rgb;

double lightness_range(const Palette& p) { return p[kWhiteEntry].l - p[kBlackEntry].l; }

double mean_chroma(const Palette& p) {
    double sum = 0.0;
    for (std::size_t i = 2; i < kPaletteSize; ++i) sum += std::hypot(p[i].a, p[i].b);
    return sum / (kPaletteSize - 2);
}

lut_builder::GamutTarget cielab_target(const Palette& palette, lut_builder::MappingSettings settings = {}) {
    std::vector<Rgb> inks;
    for (const Lab& colour : palette) inks.push_back(lut_builder::rgb_from_lab(colour));
    settings.space = lut_builder::HullSpace::cielab;
    lut_builder::GamutTargetResult result = lut_builder::make_gamut_target(inks, kBlackEntry, kWhiteEntry, settings);
    EXPECT_TRUE(result.target) << result.error;
    return *result.target;
}

double distance_outside_lab(const lut_builder::GamutTarget& target, Lab lab) {
    return lut_builder::distance_outside(target.hull, {lab.l, lab.a, lab.b});
}

TEST(RenderDataFiles, WaveformHoldsBandCountAndSignedBoundariesOnly) {
    const std::vector<int> boundaries{-10, 0, 10, 25, 40, 60};
    const std::vector<std::uint8_t> bytes = waveform_bytes(boundaries);
    ASSERT_EQ(bytes.size(), kWaveformBytes);
    EXPECT_EQ(bytes[38], 4);  // five bands, stored less one
    EXPECT_EQ(bytes[48], 0xF6);  // -10 as a signed byte
    EXPECT_EQ(bytes[49], 0);
    EXPECT_EQ(bytes[53], 60);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i != 38 && (i < 48 || i > 53)) {
            EXPECT_EQ(bytes[i], 0) << "byte " << i;
        }
    }
    // The largest table, 30 boundaries, reaches byte 77.
    std::vector<int> most(kMaxBoundaries);
    for (std::size_t i = 0; i < most.size(); ++i) most[i] = static_cast<int>(i) - 15;
    const std::vector<std::uint8_t> full = waveform_bytes(most);
    ASSERT_EQ(full.size(), kWaveformBytes);
    EXPECT_EQ(full[38], 28);
    EXPECT_EQ(full[48 + 29], 14);
}

TEST(RenderDataFiles, NamesSplitTheLotDirectoryAndSignTheBand) {
    const LotNames names = lot_names("ULMA_SAMPLE01_TC_03");
    EXPECT_EQ(names.lot_name, "ULMA_SAMPLE01_TC");
    EXPECT_EQ(names.version, "03");
    EXPECT_EQ(names.base, "ULMA_SAMPLE01");
    EXPECT_EQ(band_file_name(names, "lut", -10, 0), "ULMA_SAMPLE01_lut_-10Cto0C_03.bin");
    EXPECT_EQ(band_file_name(names, "data", -25, -5), "ULMA_SAMPLE01_data_-25Cto-5C_03.bin");
    const LotNames shortest = lot_names("ABC_01");
    EXPECT_EQ(shortest.lot_name, "ABC");
    EXPECT_EQ(shortest.base, "");
}

TEST(RenderDataPalette, IsBestAt25DegreesAndFadesInColdAndHeat) {
    const Palette best = palette_at(25.0);
    for (double celsius : {-40.0, -10.0, 0.0, 17.5, 32.5, 60.0, 90.0}) {
        const Palette p = palette_at(celsius);
        EXPECT_LT(lightness_range(p), lightness_range(best)) << celsius;
        EXPECT_LT(mean_chroma(p), mean_chroma(best)) << celsius;
    }
    // Monotonic towards the cold, flat beyond -10.
    EXPECT_LT(mean_chroma(palette_at(-5.0)), mean_chroma(palette_at(5.0)));
    EXPECT_LT(lightness_range(palette_at(-5.0)), lightness_range(palette_at(5.0)));
    EXPECT_DOUBLE_EQ(mean_chroma(palette_at(-10.0)), mean_chroma(palette_at(-60.0)));
}

TEST(RenderDataPalette, EveryColourStaysInsideTheSrgbCube) {
    for (double celsius = -60.0; celsius <= 100.0; celsius += 2.5) {
        for (const Lab& colour : palette_at(celsius)) {
            const Rgb rgb = lut_builder::rgb_from_lab(colour);
            for (double channel : {rgb.r, rgb.g, rgb.b}) {
                EXPECT_GE(channel, 0.0) << celsius;
                EXPECT_LE(channel, 255.0) << celsius;
            }
        }
    }
}

TEST(RenderDataPalette, TextReadsBackAsEightTriplets) {
    const Palette p = palette_at(-5.0);
    std::istringstream text(palette_text(p));
    std::vector<double> numbers;
    for (std::string word; text >> word;) numbers.push_back(std::strtod(word.c_str(), nullptr));
    ASSERT_EQ(numbers.size(), 24u);
    for (std::size_t i = 0; i < kPaletteSize; ++i) {
        EXPECT_NEAR(numbers[3 * i], p[i].l, 0.005);
        EXPECT_NEAR(numbers[3 * i + 1], p[i].a, 0.005);
        EXPECT_NEAR(numbers[3 * i + 2], p[i].b, 0.005);
    }
}

// The mapping in CIELAB: what the renderer can mix is the hull of the
// palette in CIELAB, not in sRGB bytes.
TEST(CielabGamutMapping, MappedColoursLieInsideThePaletteHull) {
    for (double celsius : {-5.0, 25.0}) {
        const lut_builder::GamutTarget target = cielab_target(palette_at(celsius));
        double worst = -1e9;
        for (int r = 0; r < 256; r += 17)
            for (int g = 0; g < 256; g += 17)
                for (int b = 0; b < 256; b += 17) {
                    const Rgb mapped = lut_builder::map_colour(target, {double(r), double(g), double(b)});
                    worst = std::max(worst, distance_outside_lab(target, lut_builder::lab_from_rgb(mapped)));
                }
        EXPECT_LE(worst, 1e-4) << celsius;
    }
}

TEST(CielabGamutMapping, BlackAndWhiteLandOnThePaletteBlackAndWhite) {
    const Palette palette = palette_at(5.0);
    const lut_builder::GamutTarget target = cielab_target(palette);
    const Lab black = lut_builder::lab_from_rgb(lut_builder::map_colour(target, {0, 0, 0}));
    const Lab white = lut_builder::lab_from_rgb(lut_builder::map_colour(target, {255, 255, 255}));
    EXPECT_NEAR(black.l, palette[kBlackEntry].l, 1e-6);
    EXPECT_NEAR(white.l, palette[kWhiteEntry].l, 1e-6);
    // At the ends of the lightness range the hull is a single point.
    EXPECT_NEAR(black.a, palette[kBlackEntry].a, 0.05);
    EXPECT_NEAR(black.b, palette[kBlackEntry].b, 0.05);
    EXPECT_NEAR(white.a, palette[kWhiteEntry].a, 0.05);
    EXPECT_NEAR(white.b, palette[kWhiteEntry].b, 0.05);
}

TEST(CielabGamutMapping, ClipModeKeepsColoursThePaletteCanAlreadyMix) {
    const Palette palette = palette_at(25.0);
    lut_builder::MappingSettings clip;
    clip.lightness = lut_builder::LightnessMode::clip;
    clip.chroma = lut_builder::ChromaMode::clip;
    const lut_builder::GamutTarget target = cielab_target(palette, clip);
    // Mixes of palette colours well inside the hull, where the neutral grey
    // of their lightness is reachable too.
    Lab centre{};
    for (const Lab& c : palette) centre = {centre.l + c.l / 8, centre.a + c.a / 8, centre.b + c.b / 8};
    const auto halfway = [&](const Lab& c) {
        return Lab{(centre.l + c.l) / 2, (centre.a + c.a) / 2, (centre.b + c.b) / 2};
    };
    const Lab mixes[] = {centre, halfway(palette[3]), halfway(palette[4]), halfway(palette[5])};
    for (const Lab& mix : mixes) {
        const Lab mapped = lut_builder::lab_from_rgb(lut_builder::map_colour(target, lut_builder::rgb_from_lab(mix)));
        EXPECT_NEAR(mapped.l, mix.l, 1e-6);
        EXPECT_NEAR(mapped.a, mix.a, 1e-6);
        EXPECT_NEAR(mapped.b, mix.b, 1e-6);
    }
}

TEST(RenderDataLut, HasTheRendererLayoutWithRedSlowestAndRedFirst) {
    const Palette palette = palette_at(25.0);
    const std::vector<std::uint8_t> lut = band_lut_bytes(palette);
    ASSERT_EQ(lut.size(), 786435u);
    EXPECT_EQ(lut[786432], 0);
    EXPECT_EQ(lut[786433], 0);
    EXPECT_EQ(lut[786434], 0);
    // Pure red input: entry (63, 0, 0) at 63 * 4096, stored red, green, blue.
    const std::size_t red = 3 * lut_builder::table_index(255, 0, 0);
    EXPECT_GT(lut[red], lut[red + 1] + 40);
    EXPECT_GT(lut[red], lut[red + 2] + 40);
    // Pure blue input: entry (0, 0, 63) at 63.
    const std::size_t blue = 3 * lut_builder::table_index(0, 0, 255);
    EXPECT_GT(lut[blue + 2], lut[blue] + 20);
    // White input: the palette white, within byte rounding.
    const std::size_t white = 3 * lut_builder::table_index(255, 255, 255);
    const Lab stored = lut_builder::lab_from_rgb({double(lut[white]), double(lut[white + 1]), double(lut[white + 2])});
    EXPECT_NEAR(stored.l, palette[kWhiteEntry].l, 0.5);
}

TEST(RenderDataLut, FlatPaletteGivesNoTable) {
    Palette flat;
    for (std::size_t i = 0; i < kPaletteSize; ++i) flat[i] = {10.0 + 8.0 * i, 0.0, 0.0};  // all grey
    EXPECT_TRUE(band_lut_bytes(flat).empty());
}

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The whole directory, read by the renderer itself at temperatures of the
// first band (a negative one), the last band and beyond the table.
TEST(RenderDataProgram, WritesADirectoryTheRendererUses) {
    const fs::path dir = fs::path(TEST_BINARY_DIR) / "render_data_program";
    fs::remove_all(dir);
    fs::create_directories(dir);
    ASSERT_EQ(run(std::string(MAKE_RENDER_DATA_EXE) + " " + dir.string() + " LOT_TEST_TC_07 -20 -5 30 > /dev/null"), 0);
    const fs::path lot = dir / "LOT_TEST_TC_07";
    for (const char* name : {"LOT_TEST_TC.wbf", "LOT_TEST_lut_-20Cto-5C_07.bin", "LOT_TEST_data_-20Cto-5C_07.bin",
                             "LOT_TEST_lut_-5Cto30C_07.bin", "LOT_TEST_data_-5Cto30C_07.bin"}) {
        EXPECT_TRUE(fs::exists(lot / name)) << name;
    }
    {
        std::ofstream ppm(dir / "in.ppm", std::ios::binary);
        ppm << "P6\n4 3\n255\n";
        for (int i = 0; i < 12; ++i) ppm << static_cast<char>(i * 20) << static_cast<char>(200 - i * 10) << '\x50';
    }
    for (const char* temperature : {"-12", "29", "45"}) {
        const std::string log = (dir / "log.txt").string();
        const std::string command = std::string(ULMARENDER_EXE) + " " + (dir / "in.ppm").string() + " " +
                                    (dir / "out.pgm").string() + " " + lot.string() + " " + temperature + " > " + log;
        EXPECT_EQ(run(command), 0) << temperature;
        std::ifstream in(log);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text.find("error!"), std::string::npos) << temperature << ": " << text;
        EXPECT_EQ(fs::file_size(dir / "out.pgm"), std::string("P5\n4 3\n255\n").size() + 12) << temperature;
    }
}

TEST(RenderDataProgram, RefusesBadArgumentsWithoutWriting) {
    const fs::path dir = fs::path(TEST_BINARY_DIR) / "render_data_refused";
    fs::remove_all(dir);
    const std::string exe = MAKE_RENDER_DATA_EXE;
    EXPECT_EQ(run(exe + " " + dir.string() + " LOT_TC_03 10 0 2> /dev/null"), 2);    // falling
    EXPECT_EQ(run(exe + " " + dir.string() + " LOT_TC_03 5 5 2> /dev/null"), 2);     // not rising
    EXPECT_EQ(run(exe + " " + dir.string() + " LOT_TC_03 0 200 2> /dev/null"), 2);   // not a signed byte
    EXPECT_EQ(run(exe + " " + dir.string() + " L_03 0 10 2> /dev/null"), 2);         // name too short
    EXPECT_EQ(run(exe + " " + dir.string() + " LOT_TC_03 0 2> /dev/null"), 2);       // one boundary
    EXPECT_FALSE(fs::exists(dir));
}

}  // namespace
}  // namespace render_data
