// ulmarender (version 0302) run as a process: standard output and exit
// status of whole command lines, and the files they leave.
#include <gtest/gtest.h>

#include "ulmarender/test_support.h"

namespace {

using namespace ulma_test;

const std::string kTimeLine = "render_Ulma image time = 0 sec\n";

class Ulmarender : public ProgramRun {
protected:
    ProgramResult run(const std::vector<std::string>& words) { return run_in(words, dir.path()); }
    ProgramResult run_in(const std::vector<std::string>& words, const fs::path& where) {
        return run_program(ULMARENDER_EXE, "ulmarender", words, where);
    }
    // Standard output up to the working-directory line.
    std::string head(const std::string& output, const std::string& options_output = "") const {
        return kVersion0302 + "\nPGM output  : " + output + "\n" + options_output + "Current working dir: " + cwd +
               "\n";
    }
};

TEST_F(Ulmarender, RendersThePgm) {
    const ProgramResult result = run({"pic.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, head("out.pgm") + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
    EXPECT_FALSE(exists("out_proof.ppm"));
}

TEST_F(Ulmarender, ProofOptionAlsoWritesTheProofImage) {
    for (const std::string option : {"-p", "-pignored"}) {
        const ProgramResult result = run({option, "pic.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
        EXPECT_EQ(result.out, head("out.pgm") + "proof image : out_proof.ppm\n" + kTimeLine) << option;
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
        EXPECT_EQ(file("out_proof.ppm"), kBlackProofOf2x2);
        fs::remove(dir / "out_proof.ppm");
    }
}

TEST_F(Ulmarender, UnknownOptionPrintsUsageAndGoesOn) {
    const ProgramResult result = run({"-x", "pic.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, head("out.pgm", usage_text(kVersion0302, "ulmarender")) + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black);
}

TEST_F(Ulmarender, TooFewWordsPrintUsageAndStatusOne) {
    const std::vector<std::vector<std::string>> command_lines = {
        {}, {"pic.ppm"}, {"pic.ppm", "out.pgm"}, {"pic.ppm", "out.pgm", "ULMA_TEST01_TC_03"}, {"-p", "a", "b"}};
    for (const auto& words : command_lines) {
        const ProgramResult result = run(words);
        EXPECT_EQ(result.out, usage_text(kVersion0302, "ulmarender")) << words.size() << " words";
        EXPECT_EQ(result.status, 1);
    }
    EXPECT_FALSE(exists("out.pgm"));
}

// Render-data directory paths: '/' and '\\' separate, trailing separators
// do not count, a bare name is the directory itself.
TEST_F(Ulmarender, RenderDataDirectoryForms) {
    fs::create_directory(dir / "x\\ULMA_TEST01_TC_03");
    fs::copy(dir / "ULMA_TEST01_TC_03", dir / "x\\ULMA_TEST01_TC_03");
    const std::vector<std::string> forms = {"ULMA_TEST01_TC_03", "ULMA_TEST01_TC_03/", "./ULMA_TEST01_TC_03",
                                            cwd + "/ULMA_TEST01_TC_03//", "x\\ULMA_TEST01_TC_03"};
    for (const std::string& form : forms) {
        fs::remove(dir / "out.pgm");
        const ProgramResult result = run({"pic.ppm", "out.pgm", form, "25"});
        EXPECT_EQ(result.out, head("out.pgm") + kTimeLine) << form;
        EXPECT_EQ(result.status, 0) << form;
        EXPECT_EQ(file("out.pgm"), kPgmOf2x2Black) << form;
    }
}

TEST_F(Ulmarender, UnusableRenderDataDirectoryStops) {
    struct Case {
        std::string lot;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"/", "\r\ncan not locate wbf file, render_data path format not correct\n"},
        {"dir/AB_03", "\r\nrender_data directory name too short: it needs at least 6 characters (lot name, \"_\" "
                      "and a two-character version)\n"},
        {"NOLOT_TC_03", "\r\ncan not locate correct wbf file\n"}};
    for (const Case& c : cases) {
        const ProgramResult result = run({"pic.ppm", "out.pgm", c.lot, "25"});
        EXPECT_EQ(result.out, kVersion0302 + "\nPGM output  : out.pgm\n" + c.message) << c.lot;
        EXPECT_EQ(result.status, 1) << c.lot;
    }
    EXPECT_FALSE(exists("out.pgm"));
}

// Only the files of band -10..0 exist: temperatures of that band render
// without complaint, all others miss both files.
TEST_F(Ulmarender, TemperatureSelectsTheBandFiles) {
    RenderData one_band = data;
    one_band.lot_directory = "ULMA_BAND01_TC_03";
    one_band.lut.clear();
    one_band.palette.clear();
    const std::string lot = make_render_data(dir.path(), one_band);
    write_file(fs::path(lot) / lut_name(one_band, -10, 0), data.lut);
    write_file(fs::path(lot) / palette_name(one_band, -10, 0), data.palette);
    const std::string missing = "error! can not find correct lut data. error! can not find correct eo data. ";
    struct Case {
        std::string temp;
        bool in_band;
    };
    for (const Case& c : std::vector<Case>{{"-128", true}, {"-11", true}, {"-10", true}, {"-5", true}, {"0", true},
                                           {"cold", true}, {"1", false}, {"25", false}, {"99", false}}) {
        const ProgramResult result = run({"pic.ppm", "out.pgm", "ULMA_BAND01_TC_03", c.temp});
        EXPECT_EQ(result.out, head("out.pgm") + (c.in_band ? "" : missing) + kTimeLine) << c.temp;
        EXPECT_EQ(result.status, 0) << c.temp;
        EXPECT_EQ(result.err, "") << c.temp;
    }
}

TEST_F(Ulmarender, InputNameMustContainDotPpm) {
    write_file(dir / "pic.PPM", file("pic.ppm"));
    write_file(dir / "pic.ppm.bak", file("pic.ppm"));
    struct Case {
        std::string input;
        std::string shown;  // the name in the message; empty when rendered
    };
    for (const Case& c : std::vector<Case>{{"pic.PPM", "pic.PPM"},
                                           {"pic.pgm", "pic.pgm"},
                                           {"sub\\pic.PPM", "pic.PPM"},
                                           {"pic.ppm.bak", ""}}) {
        fs::remove(dir / "out.pgm");
        const ProgramResult result = run({c.input, "out.pgm", "ULMA_TEST01_TC_03", "25"});
        const std::string message = c.shown.empty() ? "" : c.shown + " is not .ppm file\n";
        EXPECT_EQ(result.out, head("out.pgm") + message + kTimeLine) << c.input;
        EXPECT_EQ(result.status, 0) << c.input;
        EXPECT_EQ(exists("out.pgm"), c.shown.empty()) << c.input;
    }
}

TEST_F(Ulmarender, OutputThatCannotBeCreatedStops) {
    const ProgramResult result = run({"pic.ppm", "missing/out.pgm", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, head("missing/out.pgm") + "\r\nmake sure output path name correct\n");
    EXPECT_EQ(result.err, "fopen: No such file or directory\n");
    EXPECT_EQ(result.status, 1);
}

TEST_F(Ulmarender, FullDeviceStops) {
    const ProgramResult result = run({"pic.ppm", "/dev/full", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, head("/dev/full") + "error! can not write /dev/full\n");
    EXPECT_EQ(result.err, "write: No space left on device\n");
    EXPECT_EQ(result.status, 1);
}

// A run that stops before its PGM is written leaves the old output as it was.
TEST_F(Ulmarender, ExistingOutputSurvivesAnEarlyStop) {
    write_file(dir / "bad.ppm", "P3\n2 2\n255\n");
    write_file(dir / "big.ppm", "P6\n2 2\n65535\n");
    write_file(dir / "short.ppm", ppm(2, 2, "123"));
    fs::create_directory(dir / "out_proof.ppm");
    struct Case {
        std::vector<std::string> words;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {{"none.ppm"}, ""},
        {{"bad.ppm"}, "error! bad.ppm is not a binary PPM (P6) file\n"},
        {{"big.ppm"}, "error! big.ppm: only PPM files with maximum value 255 are supported\n"},
        {{"short.ppm"}, "error! short.ppm: pixel data incomplete\n"},
        {{"-p", "pic.ppm"}, "proof image : out_proof.ppm\n"}};
    for (const Case& c : cases) {
        write_file(dir / "out.pgm", "OLD");
        std::vector<std::string> words = c.words;
        words.insert(words.end(), {"out.pgm", "ULMA_TEST01_TC_03", "25"});
        const ProgramResult result = run(words);
        EXPECT_EQ(result.out, head("out.pgm") + c.tail) << c.words.back();
        EXPECT_EQ(result.status, 1) << c.words.back();
        EXPECT_EQ(file("out.pgm"), "OLD") << c.words.back();
    }
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_NE(entry.path().filename().string().rfind(".ulmarender", 0), 0u) << "temporary file left";
    }
}

TEST_F(Ulmarender, MissingPaletteGivesIndexZeroAndABlackProof) {
    RenderData no_palette = data;
    no_palette.lot_directory = "ULMA_NOPAL1_TC_03";
    no_palette.palette.clear();
    make_render_data(dir.path(), no_palette);
    const ProgramResult result = run({"-p", "pic.ppm", "out.pgm", "ULMA_NOPAL1_TC_03", "25"});
    EXPECT_EQ(result.out,
              head("out.pgm") + "error! can not find correct eo data. proof image : out_proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm"), std::string("P5\n2 2\n255\n") + std::string(4, '\0'));
    EXPECT_EQ(file("out_proof.ppm"), kBlackProofOf2x2);
}

// Palette: entry 0 black, entries 1 to 7 white. The grey picture (L about 54)
// goes to the last white entry (PGM byte 56); through a LUT that makes
// everything black it goes to entry 0.
RenderData black_or_white(const RenderData& base, const std::string& lot_directory, const std::string& lut) {
    RenderData data = base;
    data.lot_directory = lot_directory;
    data.lut = lut;
    data.palette = "0 0 0\n" + uniform_palette("100 0 0").substr(8);
    return data;
}

TEST_F(Ulmarender, WithoutUsableLutTheLoadedPictureIsDiffused) {
    make_render_data(dir.path(), black_or_white(data, "ULMA_BLACK1_TC_03", constant_lut(0, 0, 0)));
    make_render_data(dir.path(), black_or_white(data, "ULMA_SHORT1_TC_03", constant_lut(0, 0, 0).substr(0, 786434)));
    make_render_data(dir.path(), black_or_white(data, "ULMA_NOLUT1_TC_03", ""));
    struct Case {
        std::string lot;
        std::string message;
        char pgm_byte;
    };
    for (const Case& c : std::vector<Case>{{"ULMA_BLACK1_TC_03", "", '\0'},
                                           {"ULMA_SHORT1_TC_03", "error! can not find correct lut data. ", '\x38'},
                                           {"ULMA_NOLUT1_TC_03", "error! can not find correct lut data. ", '\x38'}}) {
        const ProgramResult result = run({"pic.ppm", "out.pgm", c.lot, "25"});
        EXPECT_EQ(result.out, head("out.pgm") + c.message + kTimeLine) << c.lot;
        EXPECT_EQ(result.status, 0) << c.lot;
        EXPECT_EQ(file("out.pgm"), "P5\n2 2\n255\n" + std::string(4, c.pgm_byte)) << c.lot;
    }
}

TEST_F(Ulmarender, AdjustmentOptionsAreReportedByTheEnhancement) {
    struct Case {
        std::vector<std::string> options;
        std::string lines;
    };
    const std::vector<Case> cases = {
        {{"-c", "150", "-b", "-150", "-n", "5"}, "chroma : 100.000000\nbrightness : -100.000000\nnoise_range : 5\n"},
        {{"-c", "abc", "-b", "3.5"}, "chroma : 0.000000\nbrightness : 3.500000\n"},
        {{"-c", "abc", "-n", "0"}, ""},
        {{"-n", "-3", "-b", "0"}, ""}};
    for (const Case& c : cases) {
        std::vector<std::string> words = c.options;
        words.insert(words.end(), {"pic.ppm", "out.pgm", "ULMA_TEST01_TC_03", "25"});
        const ProgramResult result = run(words);
        EXPECT_EQ(result.out, head("out.pgm") + c.lines + kTimeLine) << c.lines;
        EXPECT_EQ(result.status, 0);
    }
}

TEST_F(Ulmarender, LongPathsAndWorkingDirectory) {
    fs::path deep = dir.path();
    for (int i = 0; i < 3; ++i) deep /= std::string(120, static_cast<char>('a' + i));
    fs::create_directories(deep);
    const std::string output = deep.string() + "/out.pgm";
    ASSERT_GT(output.size(), 256u);
    const std::string lot = cwd + "/ULMA_TEST01_TC_03";
    const ProgramResult result = run_in({"-p", cwd + "/pic.ppm", output, lot, "25"}, deep);
    EXPECT_EQ(result.out, kVersion0302 + "\nPGM output  : " + output + "\nCurrent working dir: " + deep.string() +
                              "\nproof image : " + deep.string() + "/out_proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(read_file(deep / "out.pgm"), kPgmOf2x2Black);
    EXPECT_EQ(read_file(deep / "out_proof.ppm"), kBlackProofOf2x2);
}

TEST_F(Ulmarender, UnreadableWorkingDirectoryStops) {
    fs::create_directory(dir / "gone");
    const std::string script = std::string("cd gone && rmdir ../gone && exec ") + ULMARENDER_EXE +
                               " ../pic.ppm out.pgm ../ULMA_TEST01_TC_03 25";
    const ProgramResult result = run_program("/bin/sh", "sh", {"-c", script}, dir.path());
    EXPECT_EQ(result.out, kVersion0302 + "\n");
    EXPECT_EQ(result.err, "getcwd() error: No such file or directory\n");
    EXPECT_EQ(result.status, 1);
}

TEST_F(Ulmarender, ShortOutputNameGivesABareProofName) {
    const ProgramResult result = run({"-p", "pic.ppm", "out", "ULMA_TEST01_TC_03", "25"});
    EXPECT_EQ(result.out, head("out") + "proof image : _proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out"), kPgmOf2x2Black);
    EXPECT_EQ(file("_proof.ppm"), kBlackProofOf2x2);
}

}  // namespace
