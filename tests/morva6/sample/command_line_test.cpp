// The built Morva6_render program, run end to end in a scratch folder: its
// console lines, exit statuses, the pictures it writes, and the files it
// leaves alone when a run fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "argument_cases.h"
#include "run_program.h"
#include "test_files.h"

namespace {

using sample_test::Picture;
using sample_test::ProgramRun;

const std::string kBanner = "Morva6 rendering library sample\n";
const std::string kInitCost = "Ovex_Marva6_render_init cost: # ms\n";
const std::string kSkip = "Skip image adjustment.\n";
const std::string kAdjustCost = "Ovex_image_adjustment cost: # ms\n";
const std::string kRenderCost = "Ovex_Marva6_render cost: # ms\n";
const std::string kNoTft = "No TFT format transfer.\n";
const std::string kTftCost = "Ovex_TFT_format_transfer cost: # ms\n";

// Ink colours as blue, green, red, by ink index.
const auto& kInk = sample_test::kIdealInks;
enum Ink { kBlack, kWhite, kYellow, kRed, kGreen, kBlue };
// Timing-controller code of each ink.
constexpr std::uint8_t kCode[] = {0x00, 0x78, 0x20, 0x40, 0x30, 0x10};

// A picture made of whole inks, rows from the top.
Picture inkPicture(std::int32_t width, std::int32_t height, const std::vector<Ink>& inks) {
    Picture picture{width, height, {}};
    for (Ink ink : inks) picture.bgr.insert(picture.bgr.end(), kInk[ink].begin(), kInk[ink].end());
    return picture;
}

// The same inks as timing-controller codes.
Picture codePicture(std::int32_t width, std::int32_t height, const std::vector<Ink>& inks) {
    Picture picture{width, height, {}};
    for (Ink ink : inks) picture.bgr.insert(picture.bgr.end(), 3, kCode[ink]);
    return picture;
}

// Pure inks dither without any error, so every method gives them back as
// they are: 3 x 2, an odd width to exercise the row padding.
const std::vector<Ink> kScene{kWhite, kYellow, kRed, kGreen, kBlue, kBlack};

void expectPicture(const std::string& path, const Picture& expected) {
    const std::optional<Picture> written = sample_test::readBmp(path);
    ASSERT_TRUE(written.has_value()) << path;
    EXPECT_EQ(written->width, expected.width);
    EXPECT_EQ(written->height, expected.height);
    EXPECT_EQ(written->bgr, expected.bgr);
}

class RenderProgram : public testing::Test {
protected:
    void SetUp() override {
        sample_test::writeFile(lut_, sample_test::identityLut(sample_test::kIdealInks));
        sample_test::writeBmp(input_, inkPicture(3, 2, kScene));
    }

    // Runs the program with the three paths first, then `more`.
    ProgramRun run(const std::vector<std::string>& more = {}) const {
        std::vector<std::string> words{"-i", input_, "-o", output_, "-l", lut_};
        words.insert(words.end(), more.begin(), more.end());
        return runWords(words);
    }

    static ProgramRun runWords(const std::vector<std::string>& words) {
        ProgramRun result = sample_test::runProgram(MORVA6_RENDER_EXE, words);
        result.output = sample_test::withoutCosts(result.output);
        return result;
    }

    bool outputExists() const { return std::filesystem::exists(output_); }

    sample_test::ScratchFolder folder_;
    std::string lut_ = folder_.path("lut.bin");
    std::string input_ = folder_.path("in.bmp");
    std::string output_ = folder_.path("out.bmp");
};

TEST_F(RenderProgram, DefaultRunWritesTimingControllerCodes) {
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, kBanner + kInitCost + kSkip + kRenderCost + kNoTft);
    expectPicture(output_, codePicture(3, 2, kScene));
}

TEST_F(RenderProgram, NeutralAdjustmentGivenExplicitlyIsSkipped) {
    const ProgramRun result = run({"-h", "0", "-s", "0", "-b", "0", "-c", "0", "-g", "1"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, kBanner + kInitCost + kSkip + kRenderCost + kNoTft);
}

TEST_F(RenderProgram, GammaJustAboveOneRunsTheAdjustment) {
    const ProgramRun result = run({"-g", "1.0001"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, kBanner + kInitCost + kAdjustCost + kRenderCost + kNoTft);
}

TEST_F(RenderProgram, AdjustedPictureIsTheOneRendered) {
    // Brightness -100 darkens every pixel to black before rendering.
    const ProgramRun result = run({"-b", "-100"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, kBanner + kInitCost + kAdjustCost + kRenderCost + kNoTft);
    expectPicture(output_, codePicture(3, 2, std::vector<Ink>(6, kBlack)));
}

TEST_F(RenderProgram, ModeTwoWritesIdealInkColours) {
    ASSERT_EQ(run({"-m", "2"}).exitStatus, 0);
    expectPicture(output_, inkPicture(3, 2, kScene));
}

TEST_F(RenderProgram, ModeThreeWritesTheInkColoursOfTheLutFile) {
    const sample_test::Inks measured{{{20, 22, 30}, {170, 180, 182}, {30, 170, 190},
                                      {40, 30, 140}, {60, 90, 50}, {120, 60, 40}}};
    // The table sends each pure ink to its measured colour, so dithering
    // against the measured inks has no error to spread.
    std::vector<std::uint8_t> lut = sample_test::identityLut(measured);
    const auto entry = [](const std::array<std::uint8_t, 3>& bgr) {
        return 18 + 3 * ((bgr[2] >> 2) * 4096 + (bgr[1] >> 2) * 64 + (bgr[0] >> 2));
    };
    for (int ink = 0; ink < 6; ++ink) std::copy(measured[ink].begin(), measured[ink].end(), lut.begin() + entry(kInk[ink]));
    sample_test::writeFile(lut_, lut);

    const ProgramRun result = run({"--mode", "3"});
    EXPECT_EQ(result.exitStatus, 0);
    Picture expected{3, 2, {}};
    for (Ink ink : kScene) expected.bgr.insert(expected.bgr.end(), measured[ink].begin(), measured[ink].end());
    expectPicture(output_, expected);
}

class EveryDitherMethod : public RenderProgram, public testing::WithParamInterface<int> {};

TEST_P(EveryDitherMethod, RendersPureInksExactly) {
    const ProgramRun result = run({"-d", std::to_string(GetParam())});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, kBanner + kInitCost + kSkip + kRenderCost + kNoTft);
    expectPicture(output_, codePicture(3, 2, kScene));
}

INSTANTIATE_TEST_SUITE_P(CommandLine, EveryDitherMethod, testing::Range(1, 7));

TEST_F(RenderProgram, TftZeroAndNonNumericTftMeanNoTransfer) {
    for (const char* tft : {"0", "none"}) {
        const ProgramRun result = run({"-t", tft});
        EXPECT_EQ(result.exitStatus, 0) << tft;
        EXPECT_EQ(result.output, kBanner + kInitCost + kSkip + kRenderCost + kNoTft) << tft;
        expectPicture(output_, codePicture(3, 2, kScene));
    }
}

TEST_F(RenderProgram, TftModeOneHalvesTheHeightAndDoublesTheWidth) {
    const ProgramRun result = run({"-t", "1"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.output, kBanner + kInitCost + kSkip + kRenderCost + kTftCost);
    // Row 0 and row 1 interleaved pixel by pixel, row 0 first.
    expectPicture(output_, codePicture(6, 1, {kWhite, kGreen, kYellow, kBlue, kRed, kBlack}));
}

TEST_F(RenderProgram, TftModeThreeSwapsTheRowsOfEachPair) {
    ASSERT_EQ(run({"--TFT", "3"}).exitStatus, 0);
    expectPicture(output_, codePicture(3, 2, {kGreen, kBlue, kBlack, kWhite, kYellow, kRed}));
}

TEST_F(RenderProgram, TftModeFourUnfoldsRowsAndDropsAnOddLastColumn) {
    ASSERT_EQ(run({"-t", "4"}).exitStatus, 0);
    expectPicture(output_, codePicture(1, 4, {kWhite, kYellow, kGreen, kBlue}));
}

class RefusedByTheProgram : public testing::TestWithParam<sample_test::RefusedCase> {};

TEST_P(RefusedByTheProgram, PrintsTheBannerAndItsMessageAndExits255) {
    const ProgramRun result = sample_test::runProgram(MORVA6_RENDER_EXE, GetParam().words);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_EQ(result.output, kBanner + GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, RefusedByTheProgram, testing::ValuesIn(sample_test::refusedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderProgram, ArgumentErrorStopsBeforeAnyFileIsOpened) {
    std::filesystem::remove(lut_);
    const ProgramRun result = run({"-d", "0"});
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_EQ(result.output, kBanner + "The dither number only can be 1, 2, 3, 4, 5 or 6.\n");
    EXPECT_FALSE(outputExists());
}

TEST_F(RenderProgram, MissingLutFileStopsTheRun) {
    std::filesystem::remove(lut_);
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output, kBanner + "ERROR: Failed to open LUT file " + lut_ + " \n");
    EXPECT_FALSE(outputExists());
}

TEST_F(RenderProgram, LutFileOfTheWrongLengthStopsTheRun) {
    for (const std::size_t length : {786449u, 786451u, 0u}) {
        std::vector<std::uint8_t> lut = sample_test::identityLut(sample_test::kIdealInks);
        lut.resize(length, 0);
        sample_test::writeFile(lut_, lut);
        const ProgramRun result = run();
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.output, kBanner + "ERROR: The LUT file " + lut_ + " must be 786450 bytes long, but it has " +
                                     std::to_string(length) + " bytes.\n");
        EXPECT_FALSE(outputExists());
    }
}

TEST_F(RenderProgram, MissingInputPictureStopsTheRun) {
    std::filesystem::remove(input_);
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output,
              kBanner + kInitCost + "Error opening file!\n" + "ERROR: Failed to read input image " + input_ + "\n");
    EXPECT_FALSE(outputExists());
}

TEST_F(RenderProgram, InputThatIsNoPictureStopsTheRun) {
    sample_test::writeFile(input_, std::vector<std::uint8_t>{'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 1);
    const std::string last = "ERROR: Failed to read input image " + input_ + "\n";
    ASSERT_GE(result.output.size(), last.size());
    EXPECT_EQ(result.output.rfind(kBanner + kInitCost, 0), 0u) << result.output;
    EXPECT_EQ(result.output.substr(result.output.size() - last.size()), last) << result.output;
    EXPECT_FALSE(outputExists());
}

TEST_F(RenderProgram, PictureTooLargeForSignedSizesIsRefused) {
    // A header that announces 40000 x 40000 pixels: 6.4e9 bytes at four per
    // pixel, more than a signed 32-bit size can count.
    Picture small = inkPicture(1, 1, {kWhite});
    sample_test::writeBmp(input_, small);
    std::vector<std::uint8_t> bytes = sample_test::readFile(input_);
    for (std::size_t at : {18u, 22u}) {
        bytes[at] = 0x40;
        bytes[at + 1] = 0x9C;
        bytes[at + 2] = 0;
        bytes[at + 3] = 0;
    }
    sample_test::writeFile(input_, bytes);
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output.rfind(kBanner + kInitCost, 0), 0u) << result.output;
    EXPECT_NE(result.output.find("ERROR: "), std::string::npos) << result.output;
    EXPECT_FALSE(outputExists());
}

TEST_F(RenderProgram, OutputInAMissingFolderFails) {
    output_ = folder_.path("no/such/folder/out.bmp");
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.output, kBanner + kInitCost + kSkip + kRenderCost + kNoTft + "Error opening file!\n" +
                                 "ERROR: Failed to write output image " + output_ + "\n");
}

TEST_F(RenderProgram, WriteErrorOnAFullDeviceFails) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    std::filesystem::create_symlink("/dev/full", output_);
    const ProgramRun result = run();
    EXPECT_EQ(result.exitStatus, 1);
    const std::string last = "ERROR: Failed to write output image " + output_ + "\n";
    ASSERT_GE(result.output.size(), last.size());
    EXPECT_EQ(result.output.substr(result.output.size() - last.size()), last) << result.output;
}

TEST_F(RenderProgram, EarlierOutputSurvivesFailedRuns) {
    const std::vector<std::uint8_t> earlier{'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    sample_test::writeFile(output_, earlier);

    std::filesystem::rename(input_, folder_.path("away.bmp"));
    EXPECT_EQ(run().exitStatus, 1);  // input missing
    EXPECT_EQ(sample_test::readFile(output_), earlier);
    std::filesystem::rename(folder_.path("away.bmp"), input_);

    sample_test::writeFile(lut_, std::vector<std::uint8_t>(100, 0));
    EXPECT_EQ(run().exitStatus, 1);  // LUT of the wrong length
    EXPECT_EQ(sample_test::readFile(output_), earlier);

    std::filesystem::remove(lut_);
    EXPECT_EQ(run().exitStatus, 1);  // LUT missing
    EXPECT_EQ(sample_test::readFile(output_), earlier);

    EXPECT_EQ(run({"-m", "4"}).exitStatus, 255);  // argument error
    EXPECT_EQ(sample_test::readFile(output_), earlier);
}

TEST_F(RenderProgram, FailedWriteKeepsTheEarlierFileAndLeavesNoTemporaryFile) {
    // 64 x 64 pixels make a 12342-byte BMP; the program may write 4096.
    sample_test::writeBmp(input_, inkPicture(64, 64, std::vector<Ink>(64 * 64, kRed)));
    const std::vector<std::uint8_t> earlier{'o', 'l', 'd'};
    sample_test::writeFile(output_, earlier);
    ProgramRun result = sample_test::runProgram(MORVA6_RENDER_EXE, {"-i", input_, "-o", output_, "-l", lut_}, 4096);
    EXPECT_EQ(result.exitStatus, 1);
    const std::string last = "ERROR: Failed to write output image " + output_ + "\n";
    result.output = sample_test::withoutCosts(result.output);
    EXPECT_EQ(result.output.rfind(kBanner + kInitCost + kSkip + kRenderCost + kNoTft, 0), 0u) << result.output;
    ASSERT_GE(result.output.size(), last.size());
    EXPECT_EQ(result.output.substr(result.output.size() - last.size()), last) << result.output;
    EXPECT_EQ(sample_test::readFile(output_), earlier);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path(""))) ++entries;
    EXPECT_EQ(entries, 3);  // lut.bin, in.bmp, out.bmp
}

}  // namespace
