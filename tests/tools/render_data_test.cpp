#include "tools/render_data/render_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/formats/render_data_layout.h"
#include "tests/support/support.h"
#include "tools/lut_builder/palette_text.h"

namespace render_data {
namespace {

namespace fs = std::filesystem;

TEST(RenderDataFiles, WaveformNamesAndPaletteText) {
    const std::vector<int> boundaries{-10, 0, 10, 25, 40, 60};
    const std::vector<std::uint8_t> bytes = waveform_bytes(boundaries);
    ASSERT_EQ(bytes.size(), kWaveformBytes);
    std::vector<std::uint8_t> expected(kWaveformBytes, 0);
    expected[38] = 4;  // five bands, stored less one
    for (std::size_t i = 0; i < boundaries.size(); ++i) expected[48 + i] = static_cast<std::uint8_t>(boundaries[i]);
    EXPECT_EQ(bytes, expected);  // -10 is 0xF6; nothing else is made up

    const LotNames names = lot_names("ULMA_SAMPLE01_TC_03");
    EXPECT_EQ(names.lot_name, "ULMA_SAMPLE01_TC");
    EXPECT_EQ(names.version, "03");
    EXPECT_EQ(common::render_data::band_file_name(names.base, common::render_data::BandFile::palette_data, -25, -5,
                                                  names.version),
              "ULMA_SAMPLE01_data_-25Cto-5C_03.bin");

    // The sample palette's text reads back as the renderer reads it.
    const Palette cold = palette_at(-10.0);
    std::string error;
    const auto back = lut_builder::parse_lab_colours(palette_text(cold), kPaletteSize, error);
    ASSERT_TRUE(back) << error;
    for (std::size_t i = 0; i < kPaletteSize; ++i) EXPECT_NEAR((*back)[i].b, cold[i].b, 0.005);
}

int run(const std::string& command) { return test_support::run_command(command).status; }
using test_support::read_file;

// Measured palettes, one per band, from a file and from the command line;
// the renderer itself reads the result at temperatures of both bands.
TEST(RenderDataProgram, WritesMeasuredPalettesTheRendererUses) {
    const fs::path dir = fs::path(TEST_BINARY_DIR) / "render_data_program";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string values = "16,1.5,-2 73,-1,3.5 68,-4,52 40,36,22 30,6,-30 44,-26,10 55,24,42 33,18,-17";
    std::ofstream(dir / "cold.txt")
        << "20 1 -1\n66 -1 3\n62 -3 40\n41 27 17\n32 5 -22\n44 -20 8\n53 18 32\n35 14 -13\n";
    ASSERT_EQ(run(std::string(MAKE_RENDER_DATA_EXE) + " --palette " + (dir / "cold.txt").string() + " --palette-lab '" +
                  values + "' " + dir.string() + " LOT_TEST_TC_07 -20 -5 30 > /dev/null"),
              0);
    const fs::path lot = dir / "LOT_TEST_TC_07";
    EXPECT_EQ(read_file(lot / "LOT_TEST_data_-5Cto30C_07.bin").substr(0, 16), "16.00 1.50 -2.00");
    EXPECT_EQ(read_file(lot / "LOT_TEST_data_-20Cto-5C_07.bin").substr(0, 16), "20.00 1.00 -1.00");
    EXPECT_EQ(fs::file_size(lot / "LOT_TEST_lut_-20Cto-5C_07.bin"), 786435u);
    std::string ppm = "P6\n4 3\n255\n";
    for (int i = 0; i < 12; ++i) ppm += {static_cast<char>(i * 20), static_cast<char>(200 - i * 10), '\x50'};
    test_support::write_file(dir / "in.ppm", ppm);
    for (const char* temperature : {"-12", "29"}) {
        const fs::path log = dir / "log.txt";
        EXPECT_EQ(run(std::string(ULMARENDER_EXE) + " " + (dir / "in.ppm").string() + " " + (dir / "out.pgm").string() +
                      " " + lot.string() + " " + temperature + " > " + log.string()),
                  0);
        EXPECT_EQ(read_file(log).find("error!"), std::string::npos) << temperature << ": " << read_file(log);
        EXPECT_EQ(fs::file_size(dir / "out.pgm"), std::string("P5\n4 3\n255\n").size() + 12) << temperature;
    }
}

// A sample band's table, rebuilt from the band's own palette data file as
// a measured palette, comes out the same to the byte.
TEST(RenderDataProgram, SampleBandRebuildsFromItsPaletteFile) {
    const fs::path dir = fs::path(TEST_BINARY_DIR) / "render_data_rebuild";
    fs::remove_all(dir);
    const fs::path data = dir / "ULMA_REBUILD_TC_03" / "ULMA_REBUILD_data_10Cto25C_03.bin";
    const fs::path lut = dir / "ULMA_REBUILD_TC_03" / "ULMA_REBUILD_lut_10Cto25C_03.bin";
    const std::string exe = std::string(MAKE_RENDER_DATA_EXE) + " ";
    ASSERT_EQ(run(exe + dir.string() + " ULMA_REBUILD_TC_03 10 25 > /dev/null"), 0);
    const std::string sample = read_file(lut);
    ASSERT_EQ(run(exe + "--palette " + data.string() + " " + dir.string() + " ULMA_REBUILD_TC_03 10 25 > /dev/null"),
              0);
    EXPECT_TRUE(read_file(lut) == sample);
}

TEST(RenderDataProgram, RefusesBadArgumentsWithoutWriting) {
    const fs::path dir = fs::path(TEST_BINARY_DIR) / "render_data_refused";
    fs::remove_all(dir);
    const std::string exe = std::string(MAKE_RENDER_DATA_EXE) + " ";
    const std::string flat = "--palette-lab '50,0,0 50,0,0 50,0,0 50,0,0 50,0,0 50,0,0 50,0,0 50,0,0' ";
    for (const std::string& args : std::vector<std::string>{
             "D LOT_TC_03 10 0", "D LOT_TC_03 5 5", "D LOT_TC_03 0 200", "D L_03 0 10", "D LOT_TC_03 0",
             "D LOT_TC_03 0 1x", "--bogus D LOT_TC_03 0 10", "--palette /no/file D LOT_TC_03 0 10",
             flat + "D LOT_TC_03 0 10",                // no volume
             flat + flat + flat + "D LOT_TC_03 0 10",  // three palettes, one band
             "D ../../evil_TC_03 0 10", "D " + std::string(97, 'L') + "_03 0 10", "D LOT_TC_03 0 99999999999",
             "--palette / D LOT_TC_03 0 10", "--palette /dev/zero D LOT_TC_03 0 10"}) {
        const std::size_t at = args.find("D ");
        EXPECT_EQ(run(exe + args.substr(0, at) + dir.string() + args.substr(at + 1) + " 2> /dev/null"), 2) << args;
    }
    EXPECT_FALSE(fs::exists(dir));
}

}  // namespace
}  // namespace render_data
