// Argument scan: every refusal prints exactly its message, accepted command
// lines fill the settings as atoi/atof read them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "argument_cases.h"
#include "morva6/sample/arguments.h"
#include "tests/support/morva6_settings.h"

namespace {

using sample_test::RefusedCase;

struct ScanResult {
    std::int32_t status;
    std::string output;
};

// Runs the scan on the words after a program name, from fresh settings.
// `words` must outlive any use of the stored paths.
ScanResult scan(const std::vector<std::string>& words) {
    resetSettings();
    std::vector<const char*> argv{"Morva6_render"};
    for (const std::string& word : words) argv.push_back(word.c_str());
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    const std::int32_t status = processArguments(static_cast<int>(argv.size() - 1), argv.data());
    return {status, testing::internal::GetCapturedStdout()};
}

class RefusedCommandLine : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedCommandLine, PrintsItsMessageAndGivesMinusOne) {
    const ScanResult result = scan(GetParam().words);
    EXPECT_EQ(result.status, -1);
    EXPECT_EQ(result.output, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Scan, RefusedCommandLine, testing::ValuesIn(sample_test::refusedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Settings after an accepted command line; paths empty when not given.
struct Settings {
    std::string input = "in.bmp";
    std::string output = "out.bmp";
    std::string lut = "lut.bin";
    std::int32_t dither = 5;
    std::int32_t mode = 1;
    std::int32_t tft = 0;
    std::int32_t hue = 0;
    std::int32_t saturation = 0;
    std::int32_t brightness = 0;
    std::int32_t contrast = 0;
    double gamma = 1.0;
};

struct AcceptedCase {
    const char* name;
    std::vector<std::string> extra;  // after "-i in.bmp -o out.bmp -l lut.bin"
    Settings expected;
};

void PrintTo(const AcceptedCase& c, std::ostream* out) { *out << c.name; }

class AcceptedCommandLine : public testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedCommandLine, FillsTheSettingsSilently) {
    std::vector<std::string> words{"-i", "in.bmp", "-o", "out.bmp", "-l", "lut.bin"};
    words.insert(words.end(), GetParam().extra.begin(), GetParam().extra.end());
    const ScanResult result = scan(words);
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "");
    const Settings& expected = GetParam().expected;
    EXPECT_STREQ(INPUT_IMAGE_PATH, expected.input.c_str());
    EXPECT_STREQ(OUTPUT_IMAGE_PATH, expected.output.c_str());
    EXPECT_STREQ(LUT_PATH, expected.lut.c_str());
    EXPECT_EQ(DITHER, expected.dither);
    EXPECT_EQ(MODE, expected.mode);
    EXPECT_EQ(TFT_mode, expected.tft);
    EXPECT_EQ(HUE, expected.hue);
    EXPECT_EQ(SATURATION, expected.saturation);
    EXPECT_EQ(BRIGHTNESS, expected.brightness);
    EXPECT_EQ(CONTRAST, expected.contrast);
    EXPECT_EQ(GAMMA, expected.gamma);
}

INSTANTIATE_TEST_SUITE_P(
    Scan, AcceptedCommandLine,
    testing::ValuesIn(std::vector<AcceptedCase>{
        {"Defaults", {}, {}},
        {"DitherOne", {"-d", "1"}, {.dither = 0}},
        {"DitherLeadingBlankAndFraction", {"-d", " 3.9"}, {.dither = 2}},
        {"DitherTrailingText", {"-d", "2abc"}, {.dither = 1}},
        {"TftNotANumberMeansNone", {"-t", "HGD"}, {.tft = 0}},
        {"HueLeadingBlanksAndSign", {"-h", "  +30"}, {.hue = 30}},
        {"HueHexIsNotRead", {"-h", "0x1F"}, {.hue = 0}},
        {"GammaExponentAndText", {"-g", "15e-1x"}, {.gamma = 1.5}},
        {"GammaNotANumberIsZero", {"-g", "dark"}, {.gamma = 0.0}},
        {"RepeatedOptionLastWins", {"-h", "10", "-h", "20", "-m", "3", "--mode", "2"}, {.mode = 2, .hue = 20}},
        {"OutputWithDotSlash", {"-o", "./x.bmp"}, {.output = "./x.bmp"}},
        {"HelpAsLutValue", {"-l", "--help"}, {.lut = "--help"}},
        {"DashValueIsAValue", {"-s", "-5", "-b", "-7"}, {.saturation = -5, .brightness = -7}},
        {"AllLongSpellings",
         {"--input", "a.bmp", "--output", "b.bmp", "--lut", "c", "--dither", "1", "--mode", "2", "--TFT", "3",
          "--hue", "4", "--saturation", "5", "--brightness", "6", "--contrast", "7", "--gamma", "0.8"},
         {"a.bmp", "b.bmp", "c", 0, 2, 3, 4, 5, 6, 7, 0.8}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
