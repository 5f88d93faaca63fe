// The usage text: its synopsis is made from the option table, and the option
// lines follow the layout rules (description in the 40th character,
// continuations after 43 blanks, default lines after 34 blanks).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morva6/sample/usage_text.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

struct OptionEntry {
    std::string spellings;
    std::string description;
    std::vector<std::string> continuations;  // "(default)" marks the default line
};

const std::vector<OptionEntry>& optionTable() {
    static const std::vector<OptionEntry> table{
        {"--version", "Show version information", {}},
        {"--help", "Show this help message", {}},
        {"-i, --input <path>", "Input BMP file path (required)", {}},
        {"-o, --output <path>", "Output BMP file path (required)", {}},
        {"-l, --lut <path>",
         "Look-Up-Table path (required)",
         {"- Morva6_Render_LUT_Default_v1.bin (renamed from project_adaptive_LUT_V0.bin)",
          "- Morva6_Render_LUT_Default_v2.bin"}},
        {"-d <number>, --dither <number>",
         "Choose dithering method:",
         {"1: Floyd", "2: Floyd Serpentine", "3: Jarvis, Judice, and Ninkle",
          "4: Jarvis, Judice, and Ninkle Serpentine", "5: Stucki", "(default)6: Stucki Serpentine "}},
        {"-m <number>, --mode <number>",
         "Choose output format Mode:",
         {"(default)1: Output will be in external T-con format ", "2: Output will be in AOI IC format",
          "3: Output will be in Simulation format"}},
        {"-t <number>, --TFT <number>",
         "Set output for TFT format transfer:",
         {"(default)0: Disabled ", "1: Enable HGD with Source odd/even.", "2: Enable HGD with Source even/odd.",
          "3: Enable Swapping odd and even Gate.", "4: Enable HSD with Gate odd/even.",
          "5: Enable HSD with Gate even/odd."}},
        {"-h <number>, --hue <number>", "Set hue (range: 0~360, default: 0)", {}},
        {"-s <number>, --saturation <number>", "Set saturation (range: -100~100, default: 0)", {}},
        {"-b <number>, --brightness <number>", "Set brightness (range: -100~100, default: 0)", {}},
        {"-c <number>, --contrast <number>", "Set contrast (range: -100~100, default: 0)", {}},
        {"-g <number>, --gamma <number>", "Set gamma (range: 0.0~2.0, default: 1.0)", {}},
    };
    return table;
}

TEST(UsageText, EndsWithALineBreakAndHasNoTabs) {
    const std::string text = usageText();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\t'), std::string::npos);
    EXPECT_NE(text.substr(text.size() - 2), "\n\n");
}

TEST(UsageText, SynopsisNamesEveryOptionInOrder) {
    struct Group {
        const char* shortName;
        const char* longName;
        const char* value;
    };
    const Group groups[] = {{"-i", "--input", "<path>"},    {"-o", "--output", "<path>"},
                            {"-l", "--lut", "<path>"},      {"-d", "--dither", "<number>"},
                            {"-m", "--mode", "<number>"},   {"-t", "--TFT", "<number>"},
                            {"-h", "--hue", "<number>"},    {"-s", "--saturation", "<number>"},
                            {"-b", "--brightness", "<number>"}, {"-c", "--contrast", "<number>"},
                            {"-g", "--gamma", "<number>"}};
    std::string synopsis = "usage: Q6_render [--version] [--help]";
    for (const Group& g : groups) {
        synopsis += std::string(" [") + g.shortName + " " + g.value + " | " + g.longName + " " + g.value + "]";
    }
    const std::vector<std::string> lines = linesOf(usageText());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], synopsis);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Options:");
}

TEST(UsageText, OptionLinesFollowTheColumns) {
    std::vector<std::string> expected;
    for (const OptionEntry& entry : optionTable()) {
        std::string first = "  " + entry.spellings;
        ASSERT_LT(first.size(), 39u) << entry.spellings;
        first.resize(39, ' ');  // the description starts in the 40th character
        expected.push_back(first + entry.description);
        for (const std::string& continuation : entry.continuations) {
            const bool isDefault = continuation.rfind("(default)", 0) == 0;
            expected.push_back(std::string(isDefault ? 34 : 43, ' ') + continuation);
        }
    }
    const std::vector<std::string> lines = linesOf(usageText());
    ASSERT_EQ(lines.size(), expected.size() + 3);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i + 3], expected[i]) << "option line " << i;
}

TEST(UsageText, ValuesOfDefaultAndContinuationLinesLineUp) {
    const std::vector<std::string> lines = linesOf(usageText());
    int defaults = 0;
    int trailingBlanks = 0;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.back() == ' ') ++trailingBlanks;
        if (l.rfind(std::string(34, ' ') + "(default)", 0) == 0) {
            ++defaults;
            EXPECT_NE(l[43], ' ') << l;
            // Only the default lines end in a blank.
            EXPECT_EQ(l.back(), ' ') << l;
            EXPECT_NE(l[l.size() - 2], ' ') << l;
        } else if (l[2] == ' ') {
            EXPECT_EQ(l.find_first_not_of(' '), 43u) << l;
        } else {
            EXPECT_EQ(l.substr(0, 2), "  ") << l;
            EXPECT_EQ(l[38], ' ') << l;
            EXPECT_NE(l[39], ' ') << l;
        }
    }
    EXPECT_EQ(defaults, 3);
    EXPECT_EQ(trailingBlanks, 3);
}

}  // namespace
