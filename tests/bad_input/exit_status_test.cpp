// Each program run on bad input: the message it prints, its exit status, the
// output file (an earlier one must survive a failed run untouched) and, in
// the sanitizer build, a standard error free of sanitizer reports: one case
// per failure class and program. The bad files are those of tests/corpus/.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/support.h"

namespace {

using namespace test_support;

const fs::path kCorpus = CORPUS_DIR;
const std::string kEarlier = "earlier output";

enum class Program { morva6, ulma, ulma03 };

// What a case changes in a working folder that holds a usable run:
// in.bmp, lut.bin and out.bmp for Morva6_render; pic.ppm, the render-data
// directory ULMA_FZ01_TC_03 (one band, -10 to 60 degrees) and out.pgm for
// the renderer. Both outputs hold kEarlier before the run.
using Setup = std::function<void(const fs::path& dir)>;

const char* const kLot = "ULMA_FZ01_TC_03";
const char* const kLutFile = "ULMA_FZ01_TC_03/ULMA_FZ01_lut_-10Cto60C_03.bin";
const char* const kPaletteFile = "ULMA_FZ01_TC_03/ULMA_FZ01_data_-10Cto60C_03.bin";
const char* const kWaveformFile = "ULMA_FZ01_TC_03/ULMA_FZ01_TC.wbf";

Setup use_corpus(const std::string& file, const std::string& as) {
    return [=](const fs::path& dir) { fs::copy_file(kCorpus / file, dir / as, fs::copy_options::overwrite_existing); };
}
Setup replace_by_directory(const std::string& name) {
    return [=](const fs::path& dir) {
        fs::remove(dir / name);
        fs::create_directory(dir / name);
    };
}
Setup remove_file(const std::string& name) {
    return [=](const fs::path& dir) { fs::remove(dir / name); };
}
Setup make_fifo(const std::string& name) {
    return [=](const fs::path& dir) {
        fs::remove(dir / name);
        ASSERT_EQ(mkfifo((dir / name).c_str(), 0600), 0);
    };
}
Setup link_to(const std::string& name, const std::string& target) {
    return [=](const fs::path& dir) {
        fs::remove(dir / name);
        fs::create_symlink(target, dir / name);
    };
}
Setup truncate_to(const std::string& name, std::uintmax_t size) {
    return [=](const fs::path& dir) { fs::resize_file(dir / name, size); };
}

struct Case {
    const char* name;
    Program program;
    Setup setup;
    int status;
    std::vector<std::string> messages;    // lines (or parts) standard output must hold
    bool output_written;                  // false: the earlier output must be untouched
    std::vector<std::string> extra = {};  // words after the usual command line
};

class BadInput : public testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        dir_ = root_ / "run";
        fs::create_directories(dir_ / kLot);
        if (GetParam().program == Program::morva6) {
            fs::copy_file(kCorpus / "bmp_read/hm-bmp24-3x2-odd-row.bmp", dir_ / "in.bmp");
            write_file(dir_ / "lut.bin", identity_lut());
            write_file(dir_ / "out.bmp", kEarlier);
        } else {
            fs::copy_file(kCorpus / "ulma_ppm/hm-good-3x2.ppm", dir_ / "pic.ppm");
            fs::copy_file(kCorpus / "ulma_waveform/hm-one-band.wbf", dir_ / kWaveformFile);
            write_file(dir_ / kLutFile, identity_table(false) + std::string(3, '\0'));
            fs::copy_file(kCorpus / "ulma_palette/hm-eight-colours.txt", dir_ / kPaletteFile);
            write_file(dir_ / "out.pgm", kEarlier);
        }
    }
    ProgramRun run() {
        switch (GetParam().program) {
            case Program::morva6: {
                std::vector<std::string> words = {"-i", "in.bmp", "-o", "out.bmp", "-l", "lut.bin"};
                words.insert(words.end(), GetParam().extra.begin(), GetParam().extra.end());
                return run_program(MORVA6_RENDER_EXE, words, dir_);
            }
            case Program::ulma:
            case Program::ulma03:
                break;
        }
        // An extra word names the input instead of pic.ppm.
        const std::string input = GetParam().extra.empty() ? "pic.ppm" : GetParam().extra.front();
        return run_program(GetParam().program == Program::ulma ? ULMARENDER_EXE : ULMARENDER03_EXE,
                           {"-p", input, "out.pgm", kLot, "25"}, dir_);
    }
    std::string output() const {
        const fs::path path = dir_ / (GetParam().program == Program::morva6 ? "out.bmp" : "out.pgm");
        return fs::is_regular_file(path) ? read_file(path) : "(no file)";
    }

    TempDir root_;
    fs::path dir_;
};

TEST_P(BadInput, MessageStatusAndOutput) {
    const Case& c = GetParam();
    c.setup(dir_);
    const ProgramRun result = run();
    for (const std::string& message : c.messages) {
        EXPECT_NE(result.out.find(message), std::string::npos) << "missing: " << message << "\n" << result.out;
    }
    EXPECT_EQ(result.status, c.status) << result.out;
    if (c.output_written) {
        EXPECT_NE(output(), kEarlier);
    } else {
        EXPECT_EQ(output(), kEarlier);
    }
    EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("runtime error"), std::string::npos) << result.err;
    // No temporary file of a replacing write is left behind.
    for (const auto& entry : fs::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "in.bmp" || name == "lut.bin" || name == "out.bmp" || name == "pic.ppm" ||
                    name == "out.pgm" || name == "out_proof.ppm" || name == "pic.PPM" || name == kLot)
            << "left behind: " << name;
    }
}

const std::string kInputFailed = "ERROR: Failed to read input image in.bmp\n";

Case morva6_picture(const char* name, const char* corpus_file, const char* reader_message) {
    return {name,
            Program::morva6,
            use_corpus(std::string("bmp_read/") + corpus_file, "in.bmp"),
            1,
            {std::string(reader_message) + "\n" + kInputFailed},
            false};
}

// The renderer's messages, the same for both versions.
std::vector<Case> renderer_cases(Program p) {
    const std::string not_p6 = "error! pic.ppm is not a binary PPM (P6) file\n";
    const std::string unreadable = "error! pic.ppm has an unreadable PPM header\n";
    const std::string bad_size = "error! pic.ppm: picture size not supported\n";
    const std::string truncated = "error! pic.ppm: pixel data incomplete\n";
    const std::string short_waveform =
        "\r\nwbf file ULMA_FZ01_TC_03/ULMA_FZ01_TC.wbf is too short for the temperature table it announces\n";
    const std::string no_lut = "error! can not find correct lut data. ";
    const std::string no_palette = "error! can not find correct eo data. ";
    const std::string time_line = "render_Ulma image time = ";
    const auto ppm = [](const char* file) { return use_corpus(std::string("ulma_ppm/") + file, "pic.ppm"); };
    return {
        {"PpmNotP6", p, ppm("hm-magic-p5.ppm"), 1, {not_p6}, false},
        {"PpmUnreadableHeader", p, ppm("hm-max-missing.ppm"), 1, {unreadable}, false},
        {"PpmSizeNotSupported", p, ppm("hm-width-0.ppm"), 1, {bad_size}, false},
        {"PpmPixelsOneShort", p, ppm("hm-pixels-one-short.ppm"), 1, {truncated}, false},
        {"PpmIsADirectory", p, replace_by_directory("pic.ppm"), 1, {}, false},
        {"WaveformTableOneShort",
         p,
         use_corpus("ulma_waveform/hm-table-one-short.wbf", kWaveformFile),
         1,
         {short_waveform},
         false},
        {"WaveformTooManyBands",
         p,
         use_corpus("ulma_waveform/hm-too-many-29.wbf", kWaveformFile),
         1,
         {"\r\nwbf file ULMA_FZ01_TC_03/ULMA_FZ01_TC.wbf announces more than 29 temperature bands\n"},
         false},
        {"LutShortByOneByte", p, truncate_to(kLutFile, 786434), 0, {no_lut, time_line}, true},
        {"InputNameWithoutPpm",
         p,
         use_corpus("ulma_ppm/hm-good-3x2.ppm", "pic.PPM"),
         1,
         {"pic.PPM is not .ppm file\n"},
         false,
         {"pic.PPM"}},
        {"PpmClaimsHugePicture",
         p,
         use_corpus("ulma_ppm/hm-64-bytes-claim-20000x20000.ppm", "pic.ppm"),
         1,
         {truncated},
         false},
        {"PaletteMissing", p, remove_file(kPaletteFile), 1, {no_palette}, false},
        // Pipes, devices and folders where files belong: refused, never waited on.
        {"PpmIsAPipe",
         p,
         make_fifo("pic.ppm"),
         1,
         {"error! pic.ppm is not a regular file: the picture cannot be read from a pipe or a device\n"},
         false},
        {"WaveformIsAPipe",
         p,
         make_fifo(kWaveformFile),
         1,
         {"\r\nwbf file ULMA_FZ01_TC_03/ULMA_FZ01_TC.wbf is not a regular file\n"},
         false},
        {"LutIsAPipe", p, make_fifo(kLutFile), 0, {no_lut, time_line}, true},
        {"PaletteIsEndless",
         p,
         link_to(kPaletteFile, "/dev/zero"),
         1,
         {std::string("error! ") + kPaletteFile + ": is a device, not a file\n"},
         false},
        {"PaletteNotNumbers",
         p,
         use_corpus("ulma_palette/hm-hello-world.txt", kPaletteFile),
         1,
         {std::string("error! ") + kPaletteFile + ":1: 'hello' is not a number\n"},
         false},
        {"PaletteSevenColours",
         p,
         use_corpus("ulma_palette/hm-seven-colours.txt", kPaletteFile),
         1,
         {std::string("error! ") + kPaletteFile + ": wants 8 CIELAB colours (24 numbers), got 21 numbers\n"},
         false},
        {"PaletteCommasAndTabs", p, use_corpus("ulma_palette/hm-commas.txt", kPaletteFile), 0, {time_line}, true},
    };
}

std::vector<Case> all_cases() {
    const char* const not_bmp = "Not a BMP file!";
    const char* const compression = "BMP compression is not supported!";
    const char* const bit_count = "Color Palette is not suported!!";
    const char* const too_large = "BMP picture size is out of range!";
    const char* const damaged = "BMP header is damaged or truncated!";
    std::vector<Case> cases = {
        {"ArgumentError",
         Program::morva6,
         remove_file("lut.bin"),
         255,
         {"The dither number only can be 1, 2, 3, 4, 5 or 6.\n"},
         false,
         {"-d", "9"}},
        {"LutMissing",
         Program::morva6,
         remove_file("lut.bin"),
         1,
         {"ERROR: Failed to open LUT file lut.bin \n"},
         false},
        {"LutOneByteShort",
         Program::morva6,
         truncate_to("lut.bin", 786449),
         1,
         {"ERROR: The LUT file lut.bin must be 786450 bytes long, but it has 786449 bytes.\n"},
         false},
        morva6_picture("BmpDamagedHeader", "hm-headers-one-short.bmp", damaged),
        morva6_picture("BmpMagicMB", "hm-magic-mb.bmp", not_bmp),
        morva6_picture("BmpSquare46341", "hm-square-46341.bmp", too_large),
        morva6_picture("BmpBitCount16", "hm-bits-16.bmp", bit_count),
        morva6_picture("BmpRle8", "hm-rle8.bmp", compression),
        morva6_picture("BmpPixelsCut", "hm-pixels-cut.bmp",
                       "BMP pixel data are truncated: the file holds 17 of the 21 pixel bytes its header announces!"),
        {"InputIsADirectory", Program::morva6, replace_by_directory("in.bmp"), 1, {kInputFailed}, false},
        {"OutputIsADirectory",
         Program::morva6,
         replace_by_directory("out.bmp"),
         1,
         {"ERROR: Failed to write output image out.bmp\n"},
         true},
        {"DitherWraps",
         Program::morva6,
         remove_file("none"),
         255,
         {"The dither number only can be 1, 2, 3, 4, 5 or 6.\n"},
         false,
         {"-d", "4294967297"}},
        {"HueWraps",
         Program::morva6,
         remove_file("none"),
         255,
         {"The range of hue can only be between 0 and 360\n"},
         false,
         {"-h", "4294967296"}},
        {"LutIsAPipe",
         Program::morva6,
         make_fifo("lut.bin"),
         1,
         {"ERROR: The LUT file lut.bin is not a regular file \n"},
         false},
        {"OutputIsTheInput",
         Program::morva6,
         remove_file("none"),
         1,
         {"ERROR: the output in.bmp is the input in.bmp; refusing to overwrite it\n"},
         false,
         {"-o", "in.bmp"}},
        {"InputIsAPipe",
         Program::morva6,
         make_fifo("in.bmp"),
         1,
         {"Not a regular file: a BMP cannot be read from a pipe or a device!\n" + kInputFailed},
         false},
        {"BmpWidth0",
         Program::morva6,
         use_corpus("bmp_read/hm-width-0.bmp", "in.bmp"),
         1,
         {"ERROR: The input image in.bmp holds no pixels (0 x "},
         false},
        {"TftOnOneRow",
         Program::morva6,
         use_corpus("bmp_read/hm-bmp24-3x1.bmp", "in.bmp"),
         1,
         {"ERROR: The TFT format transfer leaves no pixels (6 x 0); output image out.bmp not written.\n"},
         false,
         {"-t", "1"}},
    };
    for (Program p : {Program::ulma, Program::ulma03}) {
        for (Case c : renderer_cases(p)) cases.push_back(c);
    }
    return cases;
}

std::string case_name(const testing::TestParamInfo<Case>& info) {
    const char* program = info.param.program == Program::morva6 ? "Morva6"
                          : info.param.program == Program::ulma ? "Ulma"
                                                                : "Ulma03";
    return std::string(program) + "_" + info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Programs, BadInput, testing::ValuesIn(all_cases()), case_name);

}  // namespace
