// Argument scan: every refusal prints exactly its message, accepted command
// lines fill the settings as atoi/atof read them.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "morva6/morva6.h"
#include "morva6/sample/usage_text.h"
#include "morva6/sample/arguments.h"
#include "tests/support/morva6_settings.h"

namespace {

// Command lines that the argument scan refuses, with the exact text each one
// prints.
struct RefusedCase {
    const char* name;
    std::vector<std::string> words;  // without the program name
    std::string output;
};

// Test names show the case's name instead of its bytes.
inline void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

inline std::string line(const char* text) { return std::string(text) + "\n"; }

inline std::vector<RefusedCase> refusedCases() {
    const std::string usage = usageText();
    const std::string version = Ovex_get_updateLog();
    const std::string inputFormat =
        line("The input file format is not supported. Only BMP file formats are supported.");
    const std::string outputFormat =
        line("The output file format is not supported. Only BMP file formats are supported.");
    const std::string noInput =
        line("Please provide the input file path by using the [-i <path> | --input <path>] flag");
    const std::string noOutput =
        line("Please provide the output file path by using the [-o <path> | --output <path>] flag.");
    const std::string noLut = line("Please provide the LUT path by using the [-l <path> | --lut <path>] flag.");
    const std::string dither = line("The dither number only can be 1, 2, 3, 4, 5 or 6.");
    const std::string mode = line("The mode number only can be 1, 2 or 3.");
    const std::string tft = line("The TFT number only can be 0, 1, 2, 3, 4 or 5.");
    const std::string hue = line("The range of hue can only be between 0 and 360");
    const std::string saturation = line("The range of saturation can only be between -100 and 100");
    const std::string brightness = line("The range of brightness can only be between -100 and 100");
    const std::string contrast = line("The range of contrast can only be between -100 and 100");
    const std::string gamma = line("The range of gamma can only be between 0.0 and 2.0");
    const std::vector<std::string> paths{"-i", "in.bmp", "-o", "out.bmp", "-l", "lut.bin"};
    const auto with = [&paths](std::vector<std::string> extra) {
        std::vector<std::string> words = paths;
        words.insert(words.end(), extra.begin(), extra.end());
        return words;
    };

    return {
        // Help, version and unknown options.
        {"NoArguments", {}, usage},
        {"Help", {"--help"}, usage},
        {"Version", {"--version"}, version},
        {"HelpAfterValidOptions", with({"--help"}), usage},
        {"HelpEndsScanBeforeValidation", {"-d", "9", "-m", "0", "--help"}, usage},
        {"VersionEndsScanBeforeValidation", {"-h", "999", "--version", "-x"}, version},
        {"HelpLaterWordsNotLookedAt", {"--help", "-i", "x.png"}, usage},
        {"ScanErrorBeforeHelp", {"-i", "x.png", "--help"}, inputFormat},
        {"UnknownOption", {"-x", "1"}, "unknown option: -x\n" + usage},
        {"UnknownShortHelp", {"-H"}, "unknown option: -H\n" + usage},
        {"LongSpellingIsCaseSensitive", {"--Input", "a.bmp"}, "unknown option: --Input\n" + usage},
        {"ShortSpellingIsExactlyTwoCharacters", {"-ii", "a.bmp"}, "unknown option: -ii\n" + usage},
        {"SingleDash", {"-", "a.bmp"}, "unknown option: -\n" + usage},
        {"EmptyWord", {""}, "unknown option: \n" + usage},
        {"UnknownAfterValidOptions", with({"--lut-file", "x"}), "unknown option: --lut-file\n" + usage},
        {"ValuePositionNotAnOptionButNextIs", {"-l", "-x", "-y", "1"}, "unknown option: -y\n" + usage},

        // A value option in the last position.
        {"MissingInput", {"-i"}, line("The input image path is missing.")},
        {"MissingInputLong", {"--input"}, line("The input image path is missing.")},
        {"MissingOutputAfterInput", {"-i", "a.bmp", "-o"}, line("The output image path is missing.")},
        {"MissingLut", {"-l"}, line("The LUT path is missing.")},
        {"MissingDither", {"-d"}, line("The dither number is missing.")},
        {"MissingDitherLong", {"--dither"}, line("The dither number is missing.")},
        {"MissingMode", {"-m"}, line("The mode number is missing.")},
        {"MissingTft", {"-t"}, line("The TFT number is missing.")},
        {"MissingHue", {"-h"}, line("The hue number is missing.")},
        {"MissingSaturation", {"-s"}, line("The saturation number is missing.")},
        {"MissingBrightness", {"-b"}, line("The brightness number is missing.")},
        {"MissingContrast", {"-c"}, line("The contrast number is missing.")},
        {"MissingGamma", {"-g"}, line("The gamma number is missing.")},
        {"MissingValueAfterValidOptions", with({"-g", "1.0", "-c"}), line("The contrast number is missing.")},

        // Extension checks, made as soon as the path is stored.
        {"InputOptionAsInputPath", {"-i", "-o"}, inputFormat},
        {"InputUpperCaseExtension", {"-i", "picture.BMP"}, inputFormat},
        {"InputWithoutDot", {"-i", "picture"}, inputFormat},
        {"InputDotOnlyInFolder", {"-i", "folder.bmp/picture"}, inputFormat},
        {"InputLongerExtension", {"-i", "picture.bmpx"}, inputFormat},
        {"InputEndsInDot", {"-i", "picture."}, inputFormat},
        {"InputHelpAsValue", {"-i", "--help"}, inputFormat},
        {"OutputFurtherExtension", {"-i", "a.bmp", "-o", "a.bmp.png"}, outputFormat},
        {"OutputUpperCase", {"-o", "out.Bmp"}, outputFormat},
        {"RepeatedInputEarlierRefused", {"-i", "a.png", "-i", "b.bmp"}, inputFormat},
        {"RepeatedInputLaterRefused", {"-i", "a.bmp", "-i", "b.png"}, inputFormat},
        {"RepeatedOutputLaterRefused", {"-o", "a.bmp", "-o", "b"}, outputFormat},
        {"ExtensionBeforeValidation", {"-d", "0", "-o", "x.png"}, outputFormat},

        // Validation after the scan, in its order.
        {"NothingButOptionsGiven", {"-d", "3"}, noInput},
        {"NoInput", {"-o", "out.bmp", "-l", "lut.bin"}, noInput},
        {"NoInputBeforeBadDither", {"-o", "out.bmp", "-l", "lut.bin", "-d", "0"}, noInput},
        {"NoOutput", {"-i", "in.bmp", "-l", "lut.bin"}, noOutput},
        {"NoLut", {"-i", "in.bmp", "-o", "out.bmp"}, noLut},
        {"NoLutBeforeBadDither", {"-i", "in.bmp", "-o", "out.bmp", "-d", "7"}, noLut},
        {"DitherZero", with({"-d", "0"}), dither},
        {"DitherSeven", with({"-d", "7"}), dither},
        {"DitherMinusOne", with({"-d", "-1"}), dither},
        {"DitherNotANumber", with({"-d", "Floyd"}), dither},
        {"DitherBeforeMode", with({"-m", "9", "-d", "0"}), dither},
        {"ModeZero", with({"-m", "0"}), mode},
        {"ModeFourLong", with({"--mode", "4"}), mode},
        {"ModeNotANumber", with({"-m", "tcon"}), mode},
        {"ModeBeforeTft", with({"-t", "6", "-m", "0"}), mode},
        {"TftMinusOne", with({"-t", "-1"}), tft},
        {"TftSix", with({"--TFT", "6"}), tft},
        {"TftBeforeHue", with({"-t", "6", "-h", "361"}), tft},
        {"HueAbove", with({"-h", "361"}), hue},
        {"HueBelow", with({"--hue", "-1"}), hue},
        {"HueBeforeSaturation", with({"-s", "101", "-h", "-1"}), hue},
        {"SaturationBelowLong", with({"--saturation", "-101"}), saturation},
        {"SaturationBeforeBrightness", with({"-b", "101", "-s", "101"}), saturation},
        {"BrightnessAbove", with({"-b", "101"}), brightness},
        {"BrightnessBelowLong", with({"--brightness", "-101"}), brightness},
        {"BrightnessBeforeContrast", with({"-c", "101", "-b", "-101"}), brightness},
        {"ContrastBelowLong", with({"--contrast", "-101"}), contrast},
        {"ContrastBeforeGamma", with({"-g", "3", "-c", "101"}), contrast},
        {"GammaAbove", with({"-g", "2.01"}), gamma},
        {"GammaBelow", with({"--gamma", "-0.1"}), gamma},
        {"GammaInfinite", with({"-g", "inf"}), gamma},
        {"GammaNotANumberValue", with({"-g", "nan"}), gamma},
    };
}

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

INSTANTIATE_TEST_SUITE_P(Scan, RefusedCommandLine, testing::ValuesIn(refusedCases()),
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
         {"--input",      "a.bmp", "--output",   "b.bmp", "--lut",   "c",  "--dither",     "1",
          "--mode",       "2",     "--TFT",      "3",     "--hue",   "4",  "--saturation", "5",
          "--brightness", "6",     "--contrast", "7",     "--gamma", "0.8"},
         {"a.bmp", "b.bmp", "c", 0, 2, 3, 4, 5, 6, 7, 0.8}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
