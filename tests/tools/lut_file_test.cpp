#include "tools/lut_builder/lut_file.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace lut_builder {
namespace {

TEST(LutTable, CellsIndexRoundingAndIdentity) {
    for (int cell = 0; cell < kGridLevels; ++cell) EXPECT_EQ(cell_level(cell) >> 2, cell);
    EXPECT_EQ(cell_level(63), 255);  // the full-intensity colours are in the table
    EXPECT_EQ(table_index(3, 3, 3), 0u);
    EXPECT_EQ(table_index(4, 0, 0), 4096u);
    EXPECT_EQ(table_index(0, 4, 0), 64u);
    EXPECT_EQ(table_index(0, 0, 4), 1u);
    EXPECT_EQ(to_bytes({0.49, 0.5, 254.5}), (Rgb8{0, 1, 255}));
    EXPECT_EQ(to_bytes({-3.0, 300.0, 127.4999}), (Rgb8{0, 255, 127}));
    const std::vector<Rgb8> table = identity_table();
    for (std::size_t i = 0; i < kTableEntries; i += 997) EXPECT_EQ(table_index(table[i].r, table[i].g, table[i].b), i);
}

TEST(LutFile, BothLayoutsPutTheBytesWhereTheRenderersReadThem) {
    constexpr std::array<Rgb8, kInkCount> inks{
        {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}}};
    const std::vector<Rgb8> table = identity_table();
    const std::vector<std::uint8_t> six = encode_morva6_lut(inks, table);
    ASSERT_EQ(six.size(), 786450u);
    EXPECT_EQ(std::vector<std::uint8_t>(six.begin(), six.begin() + 18),
              (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
    // Input (200, 9, 130): red cell 50, green cell 2, blue cell 32; blue first.
    const std::size_t entry = 3 * (50 * 4096 + 2 * 64 + 32);
    EXPECT_EQ(std::vector<std::uint8_t>(six.begin() + 18 + entry, six.begin() + 21 + entry),
              (std::vector<std::uint8_t>{cell_level(32), cell_level(2), cell_level(50)}));
    const std::vector<std::uint8_t> ulma = encode_ulma_lut(table);
    ASSERT_EQ(ulma.size(), 786435u);  // red first, three unused zero bytes at the end
    EXPECT_EQ(std::vector<std::uint8_t>(ulma.begin() + entry, ulma.begin() + entry + 3),
              (std::vector<std::uint8_t>{cell_level(50), cell_level(2), cell_level(32)}));
    EXPECT_EQ(std::vector<std::uint8_t>(ulma.end() - 4, ulma.end()), (std::vector<std::uint8_t>{255, 0, 0, 0}));
    EXPECT_TRUE(encode_ulma_lut(std::vector<Rgb8>(5)).empty());
}

}  // namespace
}  // namespace lut_builder
