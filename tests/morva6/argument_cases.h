// Command lines that the argument scan refuses, with the exact text each one
// prints. Shared by the scan's own tests and the tests of the built program.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "morva6/morva6.h"
#include "morva6/sample/usage_text.h"

namespace sample_test {

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

}  // namespace sample_test
