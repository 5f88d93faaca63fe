// Both programs run as processes: their whole standard output, exit status
// and the files they leave, one case per failure class.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ulmarender/support.h"

namespace {

using namespace ulma_test;

const std::string kTimeLine = "render_Ulma image time = 0 sec\n";

struct Program {
    const char* exe;
    const char* name;
    std::string version;
};
const Program k0302{ULMARENDER_EXE, "ulmarender", "Ulma render 0302.windows (18/11/2022)"};
const Program k0301{ULMARENDER03_EXE, "ulmarender03", "Ulma render 0301.windows (08/02/2022)"};

std::string usage_text(const Program& p) {
    const std::string name = p.name;
    return "\n" + p.version + "\n\nUsage: " + name +
           " [-p] <input file> <outputfile> <render_data_directory> <temperature>\n\n    ex : " + name +
           " /home/pi/Desktop/ppm/ColorChecker24.ppm /home/pi/Desktop/ColorChecker24_output.pgm "
           "ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 25\n\n    ex : " +
           name +
           " -p /ppm/Logo.ppm Logo_output.pgm  ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 23\n\n";
}

class Programs : public ::testing::TestWithParam<Program> {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>();
        make_render_data(dir_->path());
        cwd_ = fs::canonical(dir_->path()).string();
        write_file(*dir_ / "pic.ppm", ppm(3, 2, photo_like_rgb(3, 2, 7)));
    }
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override {
        for (const char* name : {"out.pgm", "out_proof.ppm", "out"}) fs::remove_all(*dir_ / name);
    }

    ProgramResult run(const std::vector<std::string>& words) const {
        return run_program(GetParam().exe, GetParam().name, words, dir_->path());
    }
    // Standard output up to the working-directory line.
    std::string head(const std::string& output = "out.pgm", const std::string& options = "") const {
        return GetParam().version + "\nPGM output  : " + output + "\n" + options + "Current working dir: " + cwd_ +
               "\n";
    }
    static std::string file(const std::string& name) { return read_file(*dir_ / name); }
    static bool exists(const std::string& name) { return fs::exists(*dir_ / name); }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::string cwd_;
};

TEST_P(Programs, RenderWithAndWithoutProof) {
    ProgramResult result = run({"pic.ppm", "out.pgm", kLotDirectory, "25"});
    EXPECT_EQ(result.out, head() + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("out.pgm").size(), 11u + 6u);
    EXPECT_FALSE(exists("out_proof.ppm"));
    result = run({"-p", "pic.ppm", "out", kLotDirectory, "25"});
    EXPECT_EQ(result.out, head("out") + "proof image : _proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(read_file(*dir_ / "_proof.ppm").size(), 11u + 18u);
}

// Missing band LUT: reported, and the loaded picture is diffused (status 0).
TEST_P(Programs, MissingLutIsReportedAndTheRunGoesOn) {
    const ProgramResult result = run({"pic.ppm", "out.pgm", kLotDirectory, "30"});
    EXPECT_EQ(result.out, head() + "error! can not find correct lut data. " + kTimeLine);
    EXPECT_EQ(result.status, 0);
}

// Every failure stops with status 1 and leaves earlier outputs as they were.
TEST_P(Programs, FailuresStopWithStatusOneAndKeepEarlierFiles) {
    write_file(*dir_ / "pic.PPM", file("pic.ppm"));
    struct Case {
        std::vector<std::string> words;
        std::string out;  // after the working-directory line
        bool has_head;
    };
    const std::string lot = kLotDirectory;
    const Case cases[] = {
        {{"pic.PPM", "out.pgm", lot, "25"}, "pic.PPM is not .ppm file\n", true},
        {{"sub\\pic.pgm", "out.pgm", lot, "25"}, "pic.pgm is not .ppm file\n", true},
        {{"none.ppm", "out.pgm", lot, "25"}, "", true},
        {{"pic.ppm", "out.pgm", "/", "25"},
         "\r\ncan not locate wbf file, render_data path format not correct\n",
         false},
        {{"pic.ppm", "out.pgm", "d/AB_03", "25"},
         "\r\nrender_data directory name too short: it needs at least 6 characters (lot name, \"_\" and a "
         "two-character version)\n",
         false},
        {{"pic.ppm", "out.pgm", "NOLOT_TC_03", "25"}, "\r\ncan not locate correct wbf file\n", false},
    };
    for (const Case& c : cases) {
        write_file(*dir_ / "out.pgm", "OLD");
        write_file(*dir_ / "out_proof.ppm", "OLD PROOF");
        const ProgramResult result = run(c.words);
        const std::string start = GetParam().version + "\nPGM output  : out.pgm\n";
        EXPECT_EQ(result.out, (c.has_head ? head() : start) + c.out) << c.words[0] << " " << c.words[2];
        EXPECT_EQ(result.status, 1) << c.words[0];
        EXPECT_EQ(file("out.pgm") + file("out_proof.ppm"), "OLDOLD PROOF") << c.words[0];
    }
    fs::remove(*dir_ / "out.pgm");
    (void)run({"pic.PPM", "out.pgm", lot, "25"});
    EXPECT_FALSE(exists("out.pgm"));  // a refused input name creates no file
    EXPECT_EQ(run({"pic.ppm", "/dev/full", lot, "25"}).out, head("/dev/full") + "error! can not write /dev/full\n");
    const ProgramResult missing = run({"pic.ppm", "no/out.pgm", lot, "25"});
    EXPECT_EQ(missing.out, head("no/out.pgm") + "\r\nmake sure output path name correct\n");
    EXPECT_EQ(missing.err, "fopen: No such file or directory\n");
    EXPECT_EQ(missing.status, 1);
    for (const auto& entry : fs::directory_iterator(dir_->path())) {
        EXPECT_NE(entry.path().filename().string().rfind(".ulmarender", 0), 0u) << "temporary file left";
    }
}

// A 64-byte file announcing 20000 x 20000 pixels is refused by its size,
// before 1.2 GB could be asked for (here not even granted).
TEST_P(Programs, ShortFileClaimingAHugePictureNeedsNoMemory) {
    write_file(*dir_ / "short.ppm", "P6\n20000 20000\n255\n" + std::string(46, 'x'));
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit;  // the sanitizer's shadow memory needs more
#else
    const std::string limit = "ulimit -v 300000 && ";
#endif
    const std::string script = limit + "exec " + GetParam().exe + " short.ppm out.pgm " + kLotDirectory + " 25";
    const ProgramResult result = run_program("/bin/sh", "sh", {"-c", script}, dir_->path());
    EXPECT_EQ(result.out, head() + "error! short.ppm: pixel data incomplete\n");
    EXPECT_EQ(result.status, 1);
}

TEST_P(Programs, TooFewWordsAndWorkingDirectories) {
    for (const auto& words : std::vector<std::vector<std::string>>{{}, {"pic.ppm", "out.pgm", kLotDirectory}}) {
        const ProgramResult result = run(words);
        EXPECT_EQ(result.out, usage_text(GetParam()));
        EXPECT_EQ(result.status, 1);
    }
    fs::create_directory(*dir_ / "gone");
    const std::string script = std::string("cd gone && rmdir ../gone && exec ") + GetParam().exe +
                               " ../pic.ppm out.pgm ../" + kLotDirectory + " 25";
    const ProgramResult result = run_program("/bin/sh", "sh", {"-c", script}, dir_->path());
    EXPECT_EQ(result.out, GetParam().version + "\n");
    EXPECT_EQ(result.err, "getcwd() error: No such file or directory\n");
    EXPECT_EQ(result.status, 1);
    // A working directory longer than the first 256-byte buffer is read whole.
    fs::path deep = cwd_;
    for (int level = 0; level < 5; ++level) deep /= std::string(60, static_cast<char>('a' + level));
    fs::create_directories(deep);
    const std::string out = cwd_ + "/out.pgm";
    const ProgramResult deep_run =
        run_program("/bin/sh", "sh",
                    {"-c", "cd " + deep.string() + " && exec " + GetParam().exe + " ../../../../../pic.ppm " + out +
                               " " + cwd_ + "/" + kLotDirectory + " 25"},
                    dir_->path());
    EXPECT_EQ(deep_run.out, GetParam().version + "\nPGM output  : " + out + "\nCurrent working dir: " + deep.string() +
                                "\n" + kTimeLine);
    EXPECT_EQ(deep_run.status, 0);
}

// No output replaces an input or the other output, and the proof and the
// PGM change together: a PGM that cannot be written keeps the old proof.
TEST_P(Programs, OutputsNeverReplaceInputsAndChangeTogether) {
    const std::string lot = kLotDirectory;
    fs::create_directories(*dir_ / "pr");
    write_file(*dir_ / "pr" / "a_proof.ppm", file("pic.ppm"));
    const std::string wbf = lot + "/ULMA_GOLDEN7_TC.wbf";
    const std::string palette = lot + "/ULMA_GOLDEN7_data_10Cto25C_03.bin";
    struct Case {
        std::vector<std::string> words;
        std::string refusal;
    };
    const Case cases[] = {
        {{"-p", "pic.ppm", "pic.ppm", lot, "25"}, "the output pic.ppm is the input pic.ppm"},
        {{"-p", "pr/a_proof.ppm", "pr/a.pgm", lot, "25"}, "the output pr/a_proof.ppm is the input pr/a_proof.ppm"},
        {{"-p", "pic.ppm", wbf, lot, "25"}, "the output " + wbf + " is the input " + wbf},
        {{"-p", "pic.ppm", palette, lot, "20"}, "the output " + palette + " is the input " + palette},
    };
    for (const Case& c : cases) {
        const std::string before = file(c.words[1]) + file(c.words[2]);
        const ProgramResult result = run(c.words);
        EXPECT_EQ(result.out, head(c.words[2]) + "error! " + c.refusal + "; refusing to overwrite it\n");
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(file(c.words[1]) + file(c.words[2]), before);
    }
    write_file(*dir_ / "out_proof.ppm", "OLD PROOF");
    fs::create_symlink("/dev/full", *dir_ / "out.pgm");
    const ProgramResult full = run({"-p", "pic.ppm", "out.pgm", lot, "25"});
    EXPECT_EQ(full.out, head() + "proof image : out_proof.ppm\nerror! can not write out.pgm\n");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(file("out_proof.ppm"), "OLD PROOF");
    EXPECT_EQ(std::distance(fs::directory_iterator(*dir_ / "pr"), fs::directory_iterator()), 1);
}

// A pipe as output is opened once (no probe) and gets the whole PGM.
TEST_P(Programs, PipeAsOutputGetsThePgm) {
    ASSERT_EQ(mkfifo((*dir_ / "out").c_str(), 0600), 0);
    const std::string script =
        "cat out > got & " + std::string(GetParam().exe) + " pic.ppm out " + kLotDirectory + " 25; wait";
    const ProgramResult result = run_program("/bin/sh", "sh", {"-c", script}, dir_->path());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(file("got").substr(0, 11), "P5\n3 2\n255\n");
    EXPECT_EQ(file("got").size(), 17u);
    fs::remove(*dir_ / "got");
}

INSTANTIATE_TEST_SUITE_P(BothVersions, Programs, ::testing::Values(k0302, k0301),
                         [](const auto& info) { return std::string(info.param.name); });

class Program0302 : public Programs {};
class Program0301 : public Programs {};

// Options stand before the last four words; unknown ones print the usage.
TEST_P(Program0302, OptionsAndTheLastFourWords) {
    const ProgramResult result =
        run({"-c", "150", "-b", "-150", "-n", "5", "-x", "-pignored", "pic.ppm", "out.pgm", kLotDirectory, "25"});
    EXPECT_EQ(result.out, head("out.pgm", usage_text(GetParam())) +
                              "chroma : 100.000000\nbrightness : -100.000000\nnoise_range : 5\n"
                              "proof image : out_proof.ppm\n" +
                              kTimeLine);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(run({"-c", "abc", "-n", "0", "pic.ppm", "out.pgm", kLotDirectory, "cold"}).out, head() + kTimeLine);
}

// NaN, infinity and numbers that would wrap are refused, nothing written.
TEST_P(Program0302, NumbersThatAreNoNumbersAreRefused) {
    const std::string lot = kLotDirectory;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-c", "nan", "pic.ppm", "out.pgm", lot, "25"}, "error! -c nan: not a number this option accepts\n"},
        {{"-c", "1e999", "pic.ppm", "out.pgm", lot, "25"}, "error! -c 1e999: not a number this option accepts\n"},
        {{"-n", "99999999999", "pic.ppm", "out.pgm", lot, "25"},
         "error! -n 99999999999: not a number this option accepts\n"},
    };
    for (const auto& [words, message] : cases) {
        const ProgramResult result = run(words);
        EXPECT_EQ(result.out, GetParam().version + "\nPGM output  : out.pgm\n" + message);
        EXPECT_EQ(result.status, 1);
        EXPECT_FALSE(exists("out.pgm"));
    }
    const ProgramResult result = run({"pic.ppm", "out.pgm", lot, "4294967321"});
    EXPECT_EQ(result.out, "error! temperature 4294967321: number out of range\n");
    EXPECT_EQ(result.status, 1);
}

// Words 1 to 4 (2 to 5 after a first "-p"), the temperature optional; -c
// is unknown and taken as the input; each accepted -p renders at once (the
// input "-p.ppm" also reads as -p with an ignored argument).
TEST_P(Program0301, OptionsAndTheFirstWords) {
    ProgramResult result = run({"-p", "pic.ppm", "out.pgm", kLotDirectory});
    EXPECT_EQ(result.out, head() + "proof image : out_proof.ppm\n" + kTimeLine);
    EXPECT_EQ(result.status, 0);
    result = run({"-c", "pic.ppm", kLotDirectory, "25"});
    EXPECT_EQ(result.out, head("pic.ppm", usage_text(GetParam())) + "-c is not .ppm file\n");
    EXPECT_EQ(result.status, 1);
    write_file(*dir_ / "-p.ppm", file("pic.ppm"));
    result = run({"-p", "-p.ppm", "out.pgm", kLotDirectory, "25"});
    const std::string one_render = "Current working dir: " + cwd_ + "\nproof image : out_proof.ppm\n" + kTimeLine;
    EXPECT_EQ(result.out, GetParam().version + "\nPGM output  : out.pgm\n" + one_render + one_render);
}

INSTANTIATE_TEST_SUITE_P(Version0302, Program0302, ::testing::Values(k0302));
INSTANTIATE_TEST_SUITE_P(Version0301, Program0301, ::testing::Values(k0301));

}  // namespace
