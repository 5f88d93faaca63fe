// Splitting the render-data directory path into lot name and code version,
// and the percentage options.
#include <gtest/gtest.h>

#include <cmath>

#include "ulmarender/command_line.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/test_support.h"

namespace {

struct LotCase {
    const char* path;
    const char* name;
    const char* version;
};

class LotNameSplit : public ::testing::TestWithParam<LotCase> {};

TEST_P(LotNameSplit, TakesTheLastComponent) {
    LotName lot;
    ASSERT_EQ(split_lot_name(GetParam().path, lot), LotNameProblem::none) << GetParam().path;
    EXPECT_EQ(lot.name, GetParam().name);
    EXPECT_EQ(lot.code_version, GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Separators, LotNameSplit,
    ::testing::Values(
        LotCase{"ulma_data\\ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03",
                "ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC", "03"},
        LotCase{"ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03",
                "ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC", "03"},
        LotCase{"/abs/a\\b/LOT_TC_07", "LOT_TC", "07"}, LotCase{"a/b\\LOT_TC_07", "LOT_TC", "07"},
        LotCase{"ULMA_SAMPLE01_TC_03", "ULMA_SAMPLE01_TC", "03"},
        LotCase{"data/ULMA_SAMPLE01_TC_03/", "ULMA_SAMPLE01_TC", "03"},
        LotCase{"data\\ULMA_SAMPLE01_TC_03\\/\\", "ULMA_SAMPLE01_TC", "03"},
        LotCase{"ULMA_SAMPLE01_TC_03//", "ULMA_SAMPLE01_TC", "03"},
        // The shortest accepted name: three characters of lot name base.
        LotCase{"d/ABC_03", "ABC", "03"}, LotCase{"ABC-xy", "ABC", "xy"}));

struct BadLotCase {
    const char* path;
    LotNameProblem problem;
};

class LotNameRefused : public ::testing::TestWithParam<BadLotCase> {};

TEST_P(LotNameRefused, GivesTheProblem) {
    LotName lot;
    EXPECT_EQ(split_lot_name(GetParam().path, lot), GetParam().problem) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Names, LotNameRefused,
                         ::testing::Values(BadLotCase{"", LotNameProblem::no_name},
                                           BadLotCase{"/", LotNameProblem::no_name},
                                           BadLotCase{"\\\\//", LotNameProblem::no_name},
                                           BadLotCase{"03", LotNameProblem::too_short},
                                           BadLotCase{"dir/_03", LotNameProblem::too_short},
                                           BadLotCase{"dir\\AB_03", LotNameProblem::too_short},
                                           BadLotCase{"dir/AB_03/", LotNameProblem::too_short}));

TEST(LotNameLength, NinetyNineCharactersFitAHundredMore) {
    const std::string longest(99, 'L');
    LotName lot;
    EXPECT_EQ(split_lot_name("d/" + longest, lot), LotNameProblem::none);
    EXPECT_EQ(lot.name.size(), 96u);
    EXPECT_EQ(split_lot_name("d/" + longest + "L", lot), LotNameProblem::too_long);
    EXPECT_EQ(split_lot_name(std::string(5000, 'L'), lot), LotNameProblem::too_long);
}

TEST(SplitArgvLot, FillsTheGlobals) {
    split_argv_lot("render/ULMA_SAMPLE01_TC_03/");
    EXPECT_STREQ(gLotName, "ULMA_SAMPLE01_TC");
    EXPECT_STREQ(gLotCodeVer, "03");
    split_argv_lot(std::string(99, 'x').c_str());
    EXPECT_EQ(std::string(gLotName), std::string(96, 'x'));
}

TEST(SplitArgvLot, UnusableNamesStopTheRun) {
    EXPECT_EXIT_ONE_PRINTING(split_argv_lot("//"),
                             "\r\ncan not locate wbf file, render_data path format not correct\n");
    EXPECT_EXIT_ONE_PRINTING(split_argv_lot("dir/AB_03"),
                             "\r\nrender_data directory name too short: it needs at least 6 characters "
                             "(lot name, \"_\" and a two-character version)\n");
    EXPECT_EXIT_ONE_PRINTING(split_argv_lot(std::string(100, 'x').c_str()),
                             "\r\nrender_data directory name too long: at most 99 characters\n");
}

struct OffsetCase {
    const char* text;
    double value;
};

class PercentOffset : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(PercentOffset, IsClampedToPlusMinusHundred) {
    EXPECT_EQ(percent_offset(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, PercentOffset,
                         ::testing::Values(OffsetCase{"150", 100.0}, OffsetCase{"-150", -100.0},
                                           OffsetCase{"100", 100.0}, OffsetCase{"-100.5", -100.0},
                                           OffsetCase{"20.5", 20.5}, OffsetCase{"abc", 0.0},
                                           OffsetCase{"12abc", 12.0}, OffsetCase{"1e3", 100.0},
                                           OffsetCase{"-inf", -100.0}));

TEST(PercentOffsetNan, StaysNan) { EXPECT_TRUE(std::isnan(percent_offset("nan"))); }

}  // namespace
