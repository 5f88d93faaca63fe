// ulmarender03 (version 0301) run as a process: the positional words come
// from the front, -p renders while the options are parsed, -c/-b/-n are
// unknown options.
#include <gtest/gtest.h>

#include "ulmarender/test_support.h"

namespace {

using namespace ulma_test;

const std::string kTimeLine = "render_Ulma image time = 0 sec\n";

class Ulmarender03 : public ProgramRun {
protected:
    ProgramResult run(const std::vector<std::string>& words) {
        return run_program(ULMARENDER03_EXE, "ulmarender03", words, dir.path());
    }
    std::string start(const std::string& output) const {
        return kVersion0301 + "\nPGM output  : " + output + "\n";
    }
    std::string cwd_line() const { return "Current working dir: " + cwd + "\n"; }
};

TEST_F(Ulmarender03, ProofFirstTakesTheNextFourWords) {
    const ProgramResult result = run({"-p", "pic.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + cwd_line() + "proof image : out_proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
    EXPECT_EQ(file("out_proof.ppm"), kBlackProofOf2x2);
}

TEST_F(Ulmarender03, WithoutProofRendersAfterTheOptions) {
    const ProgramResult result = run({"pic.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + cwd_line() + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
    EXPECT_FALSE(exists("out_proof.ppm"));
}

// The temperature word may be left out: 0 degrees, which falls in band
// -10..0, the only band whose files are present. A negative temperature
// word is not taken for an option.
TEST_F(Ulmarender03, TemperatureIsOptional) {
    RenderData one_band = data;
    one_band.lot_directory = "ULMA_BAND01_TC_03";
    one_band.lut.clear();
    one_band.palette.clear();
    const std::string lot = make_render_data(dir.path(), one_band);
    write_file(fs::path(lot) / lut_name(one_band, -10, 0), data.lut);
    write_file(fs::path(lot) / palette_name(one_band, -10, 0), data.palette);
    for (const auto& words : std::vector<std::vector<std::string>>{{"-p", "pic.ppm", "out.pgm", "ULMA_BAND01_TC_03"},
                                                                   {"pic.ppm", "out.pgm", "ULMA_BAND01_TC_03", "-5"}}) {
        const ProgramResult result = run(words);
        const std::string proof = words[0] == "-p" ? "proof image : out_proof.ppm\n" : "";
        EXPECT_EQ(result.out, start("out.pgm") + cwd_line() + proof + kTimeLine) << words.back();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
    }
}

TEST_F(Ulmarender03, TooFewWordsPrintUsageAndStatusOne) {
    for (const auto& words : std::vector<std::vector<std::string>>{
             {}, {"pic.ppm"}, {"pic.ppm", "out.pgm"}, {"pic.ppm", "out.pgm", "ULMA_TEST01_TC_03"}, {"-p", "a", "b"}}) {
        const ProgramResult result = run(words);
        EXPECT_EQ(result.out, usage_text(kVersion0301, "ulmarender03")) << words.size() << " words";
        EXPECT_EQ(result.status, 1);
    }
    EXPECT_FALSE(exists("out.pgm"));
}

// -c is unknown here, and being in front it is taken as the input: words 1
// to 4 are "-c", "pic.ppm", the directory and the temperature.
TEST_F(Ulmarender03, ColourOptionsAreUnknownAndShiftTheWords) {
    const ProgramResult result = run({"-c", "pic.ppm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, start("pic.ppm") + usage_text(kVersion0301, "ulmarender03") + cwd_line() +
                              "-c is not .ppm file\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("pic.ppm"), ppm(2, 2, std::string(12, '\x80'))) << "the input is not touched";
}

// Every accepted -p renders once: here the input is named "-p.ppm", which
// the option parser also reads as -p with an ignored argument.
TEST_F(Ulmarender03, EveryAcceptedProofOptionRenders) {
    write_file(dir / "-p.ppm", file("pic.ppm"));
    const ProgramResult result = run({"-p", "-p.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
    const std::string one_render = cwd_line() + "proof image : out_proof.ppm\n" + kTimeLine;
    EXPECT_EQ(result.out, start("out.pgm") + one_render + one_render);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
}

TEST_F(Ulmarender03, MissingPaletteGivesIndexZeroAndABlackProof) {
    RenderData no_palette = data;
    no_palette.lot_directory = "ULMA_NOPAL1_TC_03";
    no_palette.palette.clear();
    make_render_data(dir.path(), no_palette);
    const ProgramResult result = run({"-p", "pic.ppm", "out.pgm", "ULMA_NOPAL1_TC_03", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + cwd_line() +
                              "error! can not find correct eo data. proof image : out_proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), std::string("P5\n2 2\n255\n") + std::string(4, '\0'));
    EXPECT_EQ(file("out_proof.ppm"), kBlackProofOf2x2);
}

// Palette: entry 0 black, entries 1 to 7 white. Without its LUT the grey
// picture itself is diffused and goes to the last white entry (PGM byte 56).
TEST_F(Ulmarender03, WithoutLutTheLoadedPictureIsDiffused) {
    RenderData no_lut = data;
    no_lut.lot_directory = "ULMA_NOLUT1_TC_03";
    no_lut.lut.clear();
    no_lut.palette = "0 0 0\n" + uniform_palette("100 0 0").substr(8);
    make_render_data(dir.path(), no_lut);
    const ProgramResult result = run({"pic.ppm", "out.pgm", "ULMA_NOLUT1_TC_03", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + cwd_line() + "error! can not find correct lut data. " + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), "P5\n2 2\n255\n" + std::string(4, '\x38'));
}

TEST_F(Ulmarender03, ExistingOutputSurvivesAnEarlyStop) {
    write_file(dir / "out.pgm", "OLD");
    const ProgramResult result = run({"-p", "none.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + cwd_line());
    EXPECT_EQ(result.err, "fopen: No such file or directory\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(file("out.pgm"), "OLD");
}

TEST_F(Ulmarender03, RenderDataDirectoryWithSlashAndTrailingSeparator) {
    const ProgramResult result = run({"pic.ppm", "out.pgm", "./ULMA_TEST01_TC_03/", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + cwd_line() + kTimeLine);
    EXPECT_EQ(result.status, 0);
}

TEST_F(Ulmarender03, WaveformFileMissingStops) {
    const ProgramResult result = run({"pic.ppm", "out.pgm", "ULMA_NOLOT1_TC_03", "25"});
    EXPECT_EQ(result.out, start("out.pgm") + "\r\ncan not locate correct wbf file\n");
    EXPECT_EQ(result.status, 1);
}

}  // namespace
