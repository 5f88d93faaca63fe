// Temperature table of the waveform file, band search and band file names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <vector>

#include "ulmarender/render_data.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/test_support.h"

namespace {

using ulma_test::TempDir;

void set_table(const std::vector<int>& boundaries) {
    gTempRange = static_cast<int>(boundaries.size()) - 1;
    for (std::size_t i = 0; i < boundaries.size(); ++i) gTempTable[i] = boundaries[i];
}

void set_lot(const char* name, const char* version) {
    std::snprintf(gLotName, sizeof gLotName, "%s", name);
    std::snprintf(gLotCodeVer, sizeof gLotCodeVer, "%s", version);
}

struct BandCase {
    int temp;
    int band;
};

void PrintTo(const BandCase& c, std::ostream* os) { *os << c.temp << " -> band " << c.band; }

class BandSearch : public ::testing::TestWithParam<BandCase> {};

// Boundaries -10, 0, 10, 25, 40, 60: five bands. A temperature on a
// boundary belongs to the band below; everything outside goes to the ends.
TEST_P(BandSearch, PicksTheBandBelowOrAtTheBoundary) {
    set_table({-10, 0, 10, 25, 40, 60});
    EXPECT_EQ(search_temp_region(GetParam().temp), GetParam().band) << "temperature " << GetParam().temp;
}

INSTANTIATE_TEST_SUITE_P(AroundEveryBoundary, BandSearch,
                         ::testing::Values(BandCase{-128, 0}, BandCase{-11, 0}, BandCase{-10, 0}, BandCase{-9, 0},
                                           BandCase{-1, 0}, BandCase{0, 0}, BandCase{1, 1}, BandCase{9, 1},
                                           BandCase{10, 1}, BandCase{11, 2}, BandCase{24, 2}, BandCase{25, 2},
                                           BandCase{26, 3}, BandCase{39, 3}, BandCase{40, 3}, BandCase{41, 4},
                                           BandCase{59, 4}, BandCase{60, 4}, BandCase{61, 4}, BandCase{1000, 4}));

TEST(BandSearchTables, FourBoundariesAsDocumented) {
    set_table({0, 10, 20, 30});
    EXPECT_EQ(search_temp_region(10), 0);
    EXPECT_EQ(search_temp_region(11), 1);
    EXPECT_EQ(search_temp_region(35), 2);
    EXPECT_EQ(search_temp_region(-20), 0);
}

TEST(BandSearchTables, OneBandTakesEveryTemperature) {
    set_table({-5, 5});
    for (int temp : {-100, -5, 0, 5, 6, 100}) EXPECT_EQ(search_temp_region(temp), 0) << temp;
}

TEST(BandSearchTables, AllNegativeBoundaries) {
    set_table({-40, -30, -20});
    EXPECT_EQ(search_temp_region(-31), 0);
    EXPECT_EQ(search_temp_region(-30), 0);
    EXPECT_EQ(search_temp_region(-29), 1);
    EXPECT_EQ(search_temp_region(0), 1);
}

TEST(BandFileNames, NegativeBoundariesAreSignedDecimals) {
    set_table({-5, 0, 10});
    set_lot("ULMA_KRB17305_TC", "03");
    EXPECT_EQ(special_get_file_temp("data/ULMA_KRB17305_TC_03", -3),
              "data/ULMA_KRB17305_TC_03/ULMA_KRB17305_lut_-5Cto0C_03.bin");
    EXPECT_EQ(special_get_eo_file_temp("data/ULMA_KRB17305_TC_03", 0),
              "data/ULMA_KRB17305_TC_03/ULMA_KRB17305_data_-5Cto0C_03.bin");
    EXPECT_EQ(special_get_file_temp("d", 7), "d/ULMA_KRB17305_lut_0Cto10C_03.bin");
    EXPECT_EQ(special_get_eo_file_temp("d", 99), "d/ULMA_KRB17305_data_0Cto10C_03.bin");
}

TEST(BandFileNames, DirectoryLongerThanAThousandCharactersIsKept) {
    set_table({20, 30});
    set_lot("LOT_TC", "07");
    const std::string dir(1500, 'd');
    EXPECT_EQ(special_get_file_temp(dir.c_str(), 25), dir + "/LOT_lut_20Cto30C_07.bin");
}

// --- Waveform file ---

class WaveformFile : public ::testing::Test {
protected:
    void SetUp() override { set_table({0, 0}); }
    // Writes the bytes as LOT.wbf in the temporary directory.
    void write(const std::string& bytes) { ulma_test::write_file(dir / "LOT.wbf", bytes); }
    TempDir dir;
};

TEST_F(WaveformFile, ReadsBandCountAndSignedBoundaries) {
    write(ulma_test::waveform({-10, 0, 10, 25, 40, 60}));
    get_temp_data_from_wbf("LOT", dir.str().c_str());
    EXPECT_EQ(gTempRange, 5);
    EXPECT_EQ(std::vector<int>(gTempTable, gTempTable + 6), (std::vector<int>{-10, 0, 10, 25, 40, 60}));
}

TEST_F(WaveformFile, ByteZeroMeansOneBandAndByteFbIsMinusFive) {
    std::string bytes(50, '\0');
    bytes[48] = static_cast<char>(0xFB);
    bytes[49] = 0x7F;
    write(bytes);
    get_temp_data_from_wbf("LOT", dir.str().c_str());
    EXPECT_EQ(gTempRange, 1);
    EXPECT_EQ(gTempTable[0], -5);
    EXPECT_EQ(gTempTable[1], 127);
}

TEST_F(WaveformFile, TwentyEightIsTheLargestBandByte) {
    std::vector<int> boundaries;
    for (int i = 0; i < 30; ++i) boundaries.push_back(i * 4 - 60);
    write(ulma_test::waveform(boundaries, 78));
    get_temp_data_from_wbf("LOT", dir.str().c_str());
    EXPECT_EQ(gTempRange, 29);
    EXPECT_EQ(gTempTable[29], 56);
}

struct BadWaveform {
    const char* name;
    std::string bytes;
    const char* message;
};

void PrintTo(const BadWaveform& c, std::ostream* os) { *os << c.name; }

class BadWaveformFile : public ::testing::TestWithParam<BadWaveform> {};

TEST_P(BadWaveformFile, StopsWithMessageAndStatusOne) {
    TempDir dir;
    ulma_test::write_file(dir / "LOT.wbf", GetParam().bytes);
    EXPECT_EXIT_ONE_PRINTING(get_temp_data_from_wbf("LOT", dir.str().c_str()),
                             "\r\nwbf file " + (dir / "LOT.wbf") + " " + GetParam().message + "\n");
}

TEST_P(BadWaveformFile, LeavesTheTableAsItWas) {
    TempDir dir;
    ulma_test::write_file(dir / "LOT.wbf", GetParam().bytes);
    set_table({3, 4});
    std::FILE* file = std::fopen((dir / "LOT.wbf").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_NE(read_temp_table(file), TempTableProblem::none);
    std::fclose(file);
    EXPECT_EQ(gTempRange, 1);
    EXPECT_EQ(gTempTable[1], 4);
}

std::string with_band_byte(std::size_t size, int band_byte) {
    std::string bytes(size, '\0');
    bytes[38] = static_cast<char>(band_byte);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadWaveformFile,
    ::testing::Values(BadWaveform{"empty", "", "is too short for the temperature table it announces"},
                      BadWaveform{"endsBeforeBandByte", std::string(38, '\0'),
                                  "is too short for the temperature table it announces"},
                      BadWaveform{"endsBeforeBoundaries", with_band_byte(39, 0),
                                  "is too short for the temperature table it announces"},
                      BadWaveform{"oneBoundaryMissing", with_band_byte(48 + 5, 4),
                                  "is too short for the temperature table it announces"},
                      BadWaveform{"bandByte29", with_band_byte(200, 29), "announces more than 29 temperature bands"},
                      BadWaveform{"bandByte255", with_band_byte(400, 255), "announces more than 29 temperature bands"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveformFileMissing, StopsWithMessageAndStatusOne) {
    TempDir dir;
    EXPECT_EXIT_ONE_PRINTING(get_temp_data_from_wbf("LOT", dir.str().c_str()),
                             "\r\ncan not locate correct wbf file\nfopen: No such file or directory\n");
}

}  // namespace
