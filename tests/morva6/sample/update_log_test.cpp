// The version text handed out by the library.
#include <gtest/gtest.h>

#include <string>

#include "morva6/morva6.h"

namespace {

TEST(UpdateLog, IsTheVersionHistoryLineByLine) {
    const char* const lines[] = {
        "Version Updates:",
        " v1.0.0 (2024-09-03):",
        "  - Initial release",
        " v1.1.0 (2024-09-05):",
        "  - Fixed HGD3 bug",
        "  - Added version number",
        "  - Added Ovex_get_updateLog function",
        "  - Removed Ovex_get_date function",
        " v1.1.1 (2024-10-01):",
        "  - Fixed gamma correction bug",
        " v1.1.2 (2024-10-15):",
        "  - Improved compatibility with Morva 6 Rendering Tool",
        " v1.2.0 (2024-11-11):",
        "  - Renamed function Ovex_HGD to Ovex_TFT_format_transfer",
        "  - Added HSD odd/even and HSD even/odd modes to Ovex_TFT_format_transfer",
        " v1.2.1 (2024-11-14):",
        "  - Added support for ARM-OpenWRT platform",
        "",
        "Current Version: v1.2.1",
    };
    std::string expected;
    for (const char* line : lines) expected += std::string(line) + "\n";
    const std::string log = Ovex_get_updateLog();
    ASSERT_GT(log.size(), expected.size());
    EXPECT_EQ(log.substr(0, expected.size()), expected);
    // Then exactly one closing credit line and the final line break.
    const std::string credit = log.substr(expected.size());
    EXPECT_GT(credit.size(), 1u);
    EXPECT_EQ(credit.find('\n'), credit.size() - 1);
}

TEST(UpdateLog, IsOneStaticText) {
    EXPECT_EQ(Ovex_get_updateLog(), Ovex_get_updateLog());
}

}  // namespace
