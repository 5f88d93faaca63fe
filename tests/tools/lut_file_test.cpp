#include "tools/lut_builder/lut_file.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace lut_builder {
namespace {

constexpr std::array<Rgb8, kInkCount> kInks{
    {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}}};

TEST(LutTable, CellLevelsLieInTheirCellsAndSpanTheFullRange) {
    EXPECT_EQ(cell_level(0), 0);
    EXPECT_EQ(cell_level(63), 255);
    EXPECT_EQ(cell_level(16), 65);
    for (int cell = 0; cell < kGridLevels; ++cell) {
        EXPECT_EQ(cell_level(cell) >> 2, cell);
        if (cell > 0) {
            EXPECT_GT(cell_level(cell), cell_level(cell - 1));
        }
    }
}

TEST(LutTable, IndexPutsRedSlowestAndDropsTheLowBits) {
    EXPECT_EQ(table_index(3, 3, 3), 0u);
    EXPECT_EQ(table_index(4, 0, 0), 4096u);
    EXPECT_EQ(table_index(0, 4, 0), 64u);
    EXPECT_EQ(table_index(0, 0, 4), 1u);
    EXPECT_EQ(table_index(255, 255, 255), kTableEntries - 1);
}

TEST(LutTable, IdentityEntriesAreTheCellColours) {
    const std::vector<Rgb8> table = identity_table();
    ASSERT_EQ(table.size(), kTableEntries);
    EXPECT_EQ(table[0], (Rgb8{0, 0, 0}));
    EXPECT_EQ(table[kTableEntries - 1], (Rgb8{255, 255, 255}));
    EXPECT_EQ(table[table_index(200, 9, 130)], (Rgb8{cell_level(50), cell_level(2), cell_level(32)}));
    for (std::size_t i = 0; i < kTableEntries; i += 997) {
        const Rgb8 entry = table[i];
        EXPECT_EQ(table_index(entry.r, entry.g, entry.b), i);
    }
}

TEST(LutTable, ToBytesRoundsHalvesUpAndClamps) {
    EXPECT_EQ(to_bytes({0.49, 0.5, 254.5}), (Rgb8{0, 1, 255}));
    EXPECT_EQ(to_bytes({-3.0, 300.0, 127.4999}), (Rgb8{0, 255, 127}));
}

TEST(LutFile, SixInkLayoutHasInksThenEntriesAllBlueGreenRed) {
    const std::vector<Rgb8> table = identity_table();
    const std::vector<std::uint8_t> bytes = encode_morva6_lut(kInks, table);
    ASSERT_EQ(bytes.size(), 786450u);
    const std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 18);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14,
                                                 13, 18, 17, 16}));
    // Input (200, 9, 130): red cell 50, green cell 2, blue cell 32.
    const std::size_t offset = 18 + 3 * (50 * 4096 + 2 * 64 + 32);
    EXPECT_EQ(bytes[offset + 0], cell_level(32));
    EXPECT_EQ(bytes[offset + 1], cell_level(2));
    EXPECT_EQ(bytes[offset + 2], cell_level(50));
    EXPECT_EQ(bytes[18 + 3 * (kTableEntries - 1)], 255);
}

TEST(LutFile, UlmaLayoutIsRedGreenBlueWithThreeZerosAtTheEnd) {
    const std::vector<Rgb8> table = identity_table();
    const std::vector<std::uint8_t> bytes = encode_ulma_lut(table);
    ASSERT_EQ(bytes.size(), 786435u);
    const std::size_t offset = 3 * (50 * 4096 + 2 * 64 + 32);
    EXPECT_EQ(bytes[offset + 0], cell_level(50));
    EXPECT_EQ(bytes[offset + 1], cell_level(2));
    EXPECT_EQ(bytes[offset + 2], cell_level(32));
    EXPECT_EQ(bytes[786431], 255);
    EXPECT_EQ(bytes[786432], 0);
    EXPECT_EQ(bytes[786433], 0);
    EXPECT_EQ(bytes[786434], 0);
}

}  // namespace
}  // namespace lut_builder
