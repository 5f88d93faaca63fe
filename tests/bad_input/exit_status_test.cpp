// Each program run on bad input: the message it prints, its exit status, the
// output file (an earlier one must survive a failed run untouched) and, in
// the sanitizer build, a standard error free of sanitizer reports. The bad
// files are the hand-made ones of tests/corpus/.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = CORPUS_DIR;
const std::string kEarlier = "earlier output";

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct ProgramRun {
    int status = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `words` in `where`, standard output and standard error
// into files beside it.
ProgramRun run_program(const std::string& program, const std::vector<std::string>& words, const fs::path& where) {
    const fs::path out_path = where.parent_path() / "stdout.txt";
    const fs::path err_path = where.parent_path() / "stderr.txt";
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(where.c_str()) != 0 || !std::freopen(out_path.c_str(), "w", stdout) ||
            !std::freopen(err_path.c_str(), "w", stderr)) {
            _exit(127);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run;
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = read_file(out_path);
    run.err = read_file(err_path);
    return run;
}

// The colour table maps every colour to itself (six bits widened).
std::string identity_table(bool bgr) {
    std::string table;
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b) {
                const char red = static_cast<char>(r * 4 + 2), green = static_cast<char>(g * 4 + 2),
                           blue = static_cast<char>(b * 4 + 2);
                table += bgr ? std::string{blue, green, red} : std::string{red, green, blue};
            }
    return table;
}

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
Setup read_only(const std::string& name) {
    return [=](const fs::path& dir) { fs::permissions(dir / name, fs::perms::owner_read | fs::perms::group_read); };
}
Setup append(const std::string& name, const std::string& bytes) {
    return [=](const fs::path& dir) { std::ofstream(dir / name, std::ios::binary | std::ios::app) << bytes; };
}
Setup truncate_to(const std::string& name, std::uintmax_t size) {
    return [=](const fs::path& dir) { fs::resize_file(dir / name, size); };
}

struct Case {
    const char* name;
    Program program;
    Setup setup;
    int status;
    std::vector<std::string> messages;  // lines (or parts) standard output must hold
    bool output_written;                // false: the earlier output must be untouched
};

class BadInput : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("morva6-bad-input-" + std::to_string(getpid()));
        dir_ = root_ / "run";
        fs::remove_all(root_);
        fs::create_directories(dir_ / kLot);
        if (GetParam().program == Program::morva6) {
            fs::copy_file(kCorpus / "bmp_read/hm-bmp24-3x2-odd-row.bmp", dir_ / "in.bmp");
            const std::string inks("\0\0\0\xff\xff\xff\0\xff\xff\0\0\xff\0\xff\0\xff\0\0", 18);
            write_file(dir_ / "lut.bin", inks + identity_table(true));
            write_file(dir_ / "out.bmp", kEarlier);
        } else {
            fs::copy_file(kCorpus / "ulma_ppm/hm-good-3x2.ppm", dir_ / "pic.ppm");
            fs::copy_file(kCorpus / "ulma_waveform/hm-one-band.wbf", dir_ / kWaveformFile);
            write_file(dir_ / kLutFile, identity_table(false) + std::string(3, '\0'));
            fs::copy_file(kCorpus / "ulma_palette/hm-eight-colours.txt", dir_ / kPaletteFile);
            write_file(dir_ / "out.pgm", kEarlier);
        }
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    ProgramRun run() {
        switch (GetParam().program) {
        case Program::morva6:
            return run_program(MORVA6_RENDER_EXE, {"-i", "in.bmp", "-o", "out.bmp", "-l", "lut.bin"}, dir_);
        case Program::ulma:
            return run_program(ULMARENDER_EXE, {"-p", "pic.ppm", "out.pgm", kLot, "25"}, dir_);
        case Program::ulma03:
            break;
        }
        return run_program(ULMARENDER03_EXE, {"-p", "pic.ppm", "out.pgm", kLot, "25"}, dir_);
    }
    std::string output() const {
        const fs::path path = dir_ / (GetParam().program == Program::morva6 ? "out.bmp" : "out.pgm");
        return fs::is_regular_file(path) ? read_file(path) : "(no file)";
    }

    fs::path root_;
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
                    name == "out.pgm" || name == "out_proof.ppm" || name == kLot)
            << "left behind: " << name;
    }
}

const std::string kInputFailed = "ERROR: Failed to read input image in.bmp\n";

Case morva6_picture(const char* name, const char* corpus_file, const char* reader_message) {
    return {name, Program::morva6, use_corpus(std::string("bmp_read/") + corpus_file, "in.bmp"), 1,
            {std::string(reader_message) + "\n" + kInputFailed}, false};
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
    const auto palette = [](const char* file) {
        return use_corpus(std::string("ulma_palette/") + file, kPaletteFile);
    };
    return {
        {"PpmMagicP5", p, ppm("hm-magic-p5.ppm"), 1, {not_p6}, false},
        {"PpmEmpty", p, ppm("hm-empty.ppm"), 1, {not_p6}, false},
        {"PpmEndsAfterMagic", p, ppm("hm-ends-after-magic.ppm"), 1, {not_p6}, false},
        {"PpmMaximumMissing", p, ppm("hm-max-missing.ppm"), 1, {unreadable}, false},
        // The blank after the maximum ends the header; the comment is pixel data.
        {"PpmEndsInComment", p, ppm("hm-ends-in-comment.ppm"), 1, {truncated}, false},
        {"PpmPixelsOneShort", p, ppm("hm-pixels-one-short.ppm"), 1, {truncated}, false},
        {"PpmLettersAsSize", p, ppm("hm-letters-as-size.ppm"), 1, {unreadable}, false},
        {"PpmNegativeSize", p, ppm("hm-negative-size.ppm"), 1, {unreadable}, false},
        {"PpmWidthZero", p, ppm("hm-width-0.ppm"), 1, {bad_size}, false},
        {"PpmHeightZero", p, ppm("hm-height-0.ppm"), 1, {bad_size}, false},
        {"PpmWidthTwoPow31", p, ppm("hm-width-2-pow-31.ppm"), 1, {bad_size}, false},
        {"PpmJustTooLarge", p, ppm("hm-size-just-too-large.ppm"), 1, {bad_size}, false},
        {"PpmSizesOf400Digits", p, ppm("hm-many-digits.ppm"), 1, {bad_size}, false},
        {"PpmSizeProductBeyond64Bits", p, ppm("size-product-overflows-64-bits.ppm"), 1, {bad_size}, false},
        {"PpmIsADirectory", p, replace_by_directory("pic.ppm"), 1, {}, false},
        {"WaveformEndsBeforeTable", p, use_corpus("ulma_waveform/hm-ends-before-table.wbf", kWaveformFile), 1,
         {short_waveform}, false},
        {"WaveformTableOneShort", p, use_corpus("ulma_waveform/hm-table-one-short.wbf", kWaveformFile), 1,
         {short_waveform}, false},
        {"WaveformEmpty", p, use_corpus("ulma_waveform/hm-empty.wbf", kWaveformFile), 1, {short_waveform}, false},
        {"WaveformTooManyBands", p, use_corpus("ulma_waveform/hm-too-many-29.wbf", kWaveformFile), 1,
         {"\r\nwbf file ULMA_FZ01_TC_03/ULMA_FZ01_TC.wbf announces more than 29 temperature bands\n"}, false},
        {"WaveformIsADirectory", p, replace_by_directory(kWaveformFile), 1, {}, false},
        {"LutShortByOneByte", p, truncate_to(kLutFile, 786434), 0, {no_lut, time_line}, true},
        {"LutOversizeUsesItsStart", p, append(kLutFile, std::string(1000, 'x')), 0, {time_line}, true},
        {"LutReadOnlyIsRead", p, read_only(kLutFile), 0, {time_line}, true},
        {"LutIsADirectory", p, replace_by_directory(kLutFile), 0, {no_lut, time_line}, true},
        {"PaletteMissing", p, remove_file(kPaletteFile), 1, {no_palette}, false},
        {"PaletteReadOnlyIsRead", p, read_only(kPaletteFile), 0, {time_line}, true},
        {"PaletteIsADirectory", p, replace_by_directory(kPaletteFile), 1, {no_palette}, false},
        {"PaletteOfThirtyNumbers", p, palette("hm-thirty-numbers.txt"), 0, {time_line}, true},
        {"PaletteLeadingBlank", p, palette("hm-leading-blank.txt"), 0, {time_line}, true},
        {"PaletteGarbage", p, palette("hm-garbage.txt"), 0, {time_line}, true},
        {"PaletteExtremeNumbers", p, palette("hm-extreme-numbers.txt"), 0, {time_line}, true},
        {"PaletteLongToken", p, palette("hm-long-token.txt"), 0, {time_line}, true},
        {"PaletteEmpty", p, palette("hm-empty.txt"), 1, {no_palette}, false},
    };
}

std::vector<Case> all_cases() {
    const char* const not_bmp = "Not a BMP file!";
    const char* const compression = "BMP compression is not supported!";
    const char* const bit_count = "Color Palette is not suported!!";
    const char* const too_large = "BMP picture size is out of range!";
    const char* const damaged = "BMP header is damaged or truncated!";
    std::vector<Case> cases = {
        morva6_picture("BmpEmpty", "hm-empty.bmp", damaged),
        morva6_picture("BmpOneByte", "hm-one-byte.bmp", damaged),
        morva6_picture("BmpFileHeaderOnly", "hm-file-header-only.bmp", damaged),
        morva6_picture("BmpInfoHeaderCut", "hm-info-header-cut.bmp", damaged),
        morva6_picture("BmpHeadersOneShort", "hm-headers-one-short.bmp", damaged),
        // Missing pixel rows and colour-table entries read as zero.
        {"BmpPixelsCut", Program::morva6, use_corpus("bmp_read/hm-pixels-cut.bmp", "in.bmp"), 0,
         {"No TFT format transfer.\n"}, true},
        {"BmpPaletteCut", Program::morva6, use_corpus("bmp_read/hm-palette-cut.bmp", "in.bmp"), 0,
         {"No TFT format transfer.\n"}, true},
        morva6_picture("BmpMagicMB", "hm-magic-mb.bmp", not_bmp),
        morva6_picture("BmpNegativeWidth", "hm-width-negative.bmp", too_large),
        morva6_picture("BmpHeightInt32Min", "hm-height-int32-min.bmp", too_large),
        morva6_picture("BmpWidthInt32Max", "hm-width-int32-max.bmp", too_large),
        morva6_picture("BmpSquare46341", "hm-square-46341.bmp", too_large),
        morva6_picture("BmpTwoPow29Pixels", "hm-pixels-2-pow-29.bmp", too_large),
        morva6_picture("BmpBitCount16", "hm-bits-16.bmp", bit_count),
        morva6_picture("BmpBitCount0", "hm-bits-0.bmp", bit_count),
        morva6_picture("BmpRle8", "hm-rle8.bmp", compression),
        morva6_picture("BmpBitFieldsOf24Bits", "hm-bitfields-24.bmp", compression),
        morva6_picture("BmpCoreHeader", "hm-core-header-12.bmp", damaged),
        morva6_picture("BmpInfoSizeFfffffff", "hm-info-size-ffffffff.bmp", damaged),
        {"InputIsADirectory", Program::morva6, replace_by_directory("in.bmp"), 1, {kInputFailed}, false},
        {"LutIsADirectory", Program::morva6, replace_by_directory("lut.bin"), 1,
         {"ERROR: Failed to read LUT file lut.bin \n"}, false},
        {"OutputIsADirectory", Program::morva6, replace_by_directory("out.bmp"), 1,
         {"ERROR: Failed to write output image out.bmp\n"}, true},
    };
    for (Program p : {Program::ulma, Program::ulma03}) {
        for (Case c : renderer_cases(p)) cases.push_back(c);
    }
    return cases;
}

std::string case_name(const testing::TestParamInfo<Case>& info) {
    const char* program = info.param.program == Program::morva6 ? "Morva6" :
                          info.param.program == Program::ulma   ? "Ulma" :
                                                                  "Ulma03";
    return std::string(program) + "_" + info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Programs, BadInput, testing::ValuesIn(all_cases()), case_name);

}  // namespace
