// PPM input headers and pixels, the proof path, and the PGM and proof files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ulmarender/ppm_files.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/test_support.h"

namespace {

using ulma_test::TempDir;

// A temporary stream holding `bytes`, positioned at its start.
struct MemoryFile {
    explicit MemoryFile(const std::string& bytes) : file(std::tmpfile()) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
    }
    ~MemoryFile() { std::fclose(file); }
    std::FILE* file;
};

struct HeaderCase {
    const char* name;
    std::string bytes;
    int width;
    int height;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class GoodPpmHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(GoodPpmHeader, GivesTheSizeAndStopsAtTheFirstPixelByte) {
    // The first pixel bytes are whitespace themselves: they must not be
    // taken for part of the header.
    MemoryFile input(GetParam().bytes + "\n\t #");
    PpmHeader header;
    ASSERT_EQ(read_ppm_header(input.file, header), PpmProblem::none);
    EXPECT_EQ(header.width, GetParam().width);
    EXPECT_EQ(header.height, GetParam().height);
    EXPECT_EQ(std::fgetc(input.file), '\n');
    EXPECT_EQ(std::fgetc(input.file), '\t');
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GoodPpmHeader,
    ::testing::Values(HeaderCase{"usual", "P6\n2 1\n255\n", 2, 1},
                      HeaderCase{"allOnOneLine", "P6 2 1 255 ", 2, 1},
                      HeaderCase{"commentAfterMagic", "P6\n# made by hand\n# twice\n3 4\n255\n", 3, 4},
                      HeaderCase{"commentsBetweenNumbers", "P6 # magic\n3 # width\n4 # height\n255\n", 3, 4},
                      HeaderCase{"commentTouchingNumber", "P6\n3#w\n4#h\n255\n", 3, 4},
                      HeaderCase{"commentEndsHeader", "P6\n3 4\n255# last\n", 3, 4},
                      HeaderCase{"commentDirectlyAfterMagic", "P6#x\n3 4\n255\n", 3, 4},
                      HeaderCase{"crLineEnds", "P6\r\n3\r\n4\r\n255\r", 3, 4},
                      HeaderCase{"otherWhitespace", "P6\f3\v\v4\t255\t", 3, 4},
                      HeaderCase{"leadingZeros", "P6 0003 04 00255\n", 3, 4},
                      HeaderCase{"largestSize", "P6\n23170 23170\n255\n", 23170, 23170},
                      HeaderCase{"widestRow", "P6\n536870911 1\n255\n", 536870911, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadHeaderCase {
    const char* name;
    std::string bytes;
    PpmProblem problem;
};

void PrintTo(const BadHeaderCase& c, std::ostream* os) { *os << c.name; }

class BadPpmHeader : public ::testing::TestWithParam<BadHeaderCase> {};

TEST_P(BadPpmHeader, IsRefused) {
    MemoryFile input(GetParam().bytes);
    PpmHeader header;
    EXPECT_EQ(read_ppm_header(input.file, header), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BadPpmHeader,
    ::testing::Values(BadHeaderCase{"empty", "", PpmProblem::not_p6},
                      BadHeaderCase{"asciiP3", "P3\n1 1\n255\n0 0 0\n", PpmProblem::not_p6},
                      BadHeaderCase{"greyP5", "P5\n1 1\n255\nx", PpmProblem::not_p6},
                      BadHeaderCase{"lowerCase", "p6\n1 1\n255\nxxx", PpmProblem::not_p6},
                      BadHeaderCase{"magicRunsIntoSize", "P61 1\n255\nxxx", PpmProblem::not_p6},
                      BadHeaderCase{"onlyMagic", "P6", PpmProblem::not_p6},
                      BadHeaderCase{"endsAfterMagic", "P6\n", PpmProblem::bad_header},
                      BadHeaderCase{"endsInComment", "P6\n# no size", PpmProblem::bad_header},
                      BadHeaderCase{"sizeWithX", "P6\n2x1\n255\nxxxxxx", PpmProblem::bad_header},
                      BadHeaderCase{"negativeWidth", "P6\n-2 1\n255\nxxxxxx", PpmProblem::bad_header},
                      BadHeaderCase{"noMaximum", "P6\n2 1\n", PpmProblem::bad_header},
                      BadHeaderCase{"maximumNotEnded", "P6\n1 1\n255", PpmProblem::bad_header},
                      BadHeaderCase{"endsInLastComment", "P6\n1 1\n255#", PpmProblem::bad_header},
                      BadHeaderCase{"fractionalMaximum", "P6\n1 1\n255.0\nxxx", PpmProblem::bad_header},
                      BadHeaderCase{"sixteenBit", "P6\n1 1\n65535\nxxxxxx", PpmProblem::max_not_255},
                      BadHeaderCase{"maximumOne", "P6\n1 1\n1\nxxx", PpmProblem::max_not_255},
                      BadHeaderCase{"maximumZero", "P6\n1 1\n0\nxxx", PpmProblem::max_not_255},
                      BadHeaderCase{"maximum256", "P6\n1 1\n256\nxxx", PpmProblem::max_not_255},
                      BadHeaderCase{"zeroWidth", "P6\n0 1\n255\n", PpmProblem::bad_size},
                      BadHeaderCase{"zeroHeight", "P6\n1 0\n255\n", PpmProblem::bad_size},
                      BadHeaderCase{"areaTooLarge", "P6\n23171 23171\n255\n", PpmProblem::bad_size},
                      BadHeaderCase{"rowTooWide", "P6\n536870912 1\n255\n", PpmProblem::bad_size},
                      BadHeaderCase{"overflowingNumber", "P6\n99999999999999999999999 1\n255\n",
                                    PpmProblem::bad_size},
                      BadHeaderCase{"wrapsTo32Bits", "P6\n4294967297 1\n255\n", PpmProblem::bad_size}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PpmPixels, AreReadExactly) {
    MemoryFile input(ulma_test::ppm(2, 1, std::string("\x01\x02\x03\x04\x05\x06", 6)) + "trailing");
    std::vector<unsigned char> pixels(6);
    ASSERT_EQ(read_ppm_pixels(input.file, pixels), PpmProblem::none);
    EXPECT_EQ(pixels, (std::vector<unsigned char>{1, 2, 3, 4, 5, 6}));
}

TEST(PpmPixels, MissingBytesAreRefused) {
    MemoryFile input(ulma_test::ppm(2, 1, "12345"));
    std::vector<unsigned char> pixels(6);
    EXPECT_EQ(read_ppm_pixels(input.file, pixels), PpmProblem::truncated);
}

TEST(PpmPixels, AHeaderThatNoLongerMatchesTheBufferIsRefused) {
    MemoryFile input(ulma_test::ppm(2, 2, "123456789012"));
    std::vector<unsigned char> pixels(6);
    EXPECT_EQ(read_ppm_pixels(input.file, pixels), PpmProblem::bad_size);
}

TEST(PpmLoad, ReadsSizeAndPixels) {
    TempDir dir;
    ulma_test::write_file(dir / "in.ppm", "P6\n# comment\n3 1\n255\nabcdefghi");
    int w = 0;
    int h = 0;
    ppm_load((dir / "in.ppm").c_str(), w, h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 1);
    std::vector<unsigned char> pixels(9);
    ppm_load_rgb((dir / "in.ppm").c_str(), pixels, w, h);
    EXPECT_EQ(std::string(pixels.begin(), pixels.end()), "abcdefghi");
}

struct LoadFailure {
    const char* name;
    std::string bytes;
    const char* message;  // after the file name
};

void PrintTo(const LoadFailure& c, std::ostream* os) { *os << c.name; }

class PpmLoadFailure : public ::testing::TestWithParam<LoadFailure> {};

TEST_P(PpmLoadFailure, StopsWithMessageAndStatusOne) {
    TempDir dir;
    const std::string path = dir / "in.ppm";
    ulma_test::write_file(path, GetParam().bytes);
    const std::string message = "error! " + path + GetParam().message;
    int w = 0;
    int h = 0;
    std::vector<unsigned char> pixels(3);
    EXPECT_EXIT_ONE_PRINTING(ppm_load_rgb(path.c_str(), pixels, w, h), message);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PpmLoadFailure,
    ::testing::Values(LoadFailure{"p3", "P3\n1 1\n255\n1 2 3\n", " is not a binary PPM (P6) file\n"},
                      LoadFailure{"header", "P6\n1\n", " has an unreadable PPM header\n"},
                      LoadFailure{"maximum", "P6\n1 1\n65535\n", ": only PPM files with maximum value 255 are supported\n"},
                      LoadFailure{"size", "P6\n100000 100000\n255\n", ": picture size not supported\n"},
                      LoadFailure{"pixels", "P6\n1 1\n255\nab", ": pixel data incomplete\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PpmLoadMissing, StopsWithFopenMessage) {
    int w = 0;
    int h = 0;
    EXPECT_EXIT_ONE_PRINTING(ppm_load("/nonexistent/in.ppm", w, h), "fopen: No such file or directory\n");
}

struct ProofCase {
    std::string output;
    std::string proof;
};

void PrintTo(const ProofCase& c, std::ostream* os) { *os << c.output.substr(0, 40); }

class ProofPath : public ::testing::TestWithParam<ProofCase> {};

TEST_P(ProofPath, CutsFourCharactersAndAddsTheSuffix) {
    EXPECT_EQ(proof_image_path(GetParam().output), GetParam().proof);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ProofPath,
    ::testing::Values(ProofCase{"out.pgm", "out_proof.ppm"}, ProofCase{"out.bin", "out_proof.ppm"},
                      ProofCase{"dir/pic.pgm", "dir/pic_proof.ppm"}, ProofCase{"outpgm", "ou_proof.ppm"},
                      ProofCase{"a.pgm", "a_proof.ppm"}, ProofCase{"abcd", "_proof.ppm"},
                      ProofCase{"abc", "_proof.ppm"}, ProofCase{"", "_proof.ppm"},
                      ProofCase{std::string(300, 'p') + ".pgm", std::string(300, 'p') + "_proof.ppm"}));

TEST(PgmFile, OnePixelIsElevenHeaderBytesAndOneByte) {
    TempDir dir;
    ImageX = 1;
    ImageY = 1;
    const std::vector<unsigned char> codes = {40};
    buf_pgm_save((dir / "out.pgm").c_str(), codes);
    EXPECT_EQ(ulma_test::read_file(dir / "out.pgm"), std::string("P5\n1 1\n255\n\x28", 12));
}

TEST(ProofFile, IsWrittenBesideTheOutputAndAnnounced) {
    TempDir dir;
    const std::vector<unsigned char> rgb = {1, 2, 3, 4, 5, 6};
    testing::internal::CaptureStdout();
    ppm_save((dir / "out.pgm").c_str(), rgb, 1, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "proof image : " + (dir / "out_proof.ppm") + "\n");
    EXPECT_EQ(ulma_test::read_file(dir / "out_proof.ppm"), std::string("P6\n1 2\n255\n\x01\x02\x03\x04\x05\x06", 17));
}

TEST(OutputFailures, FullDeviceStopsTheRun) {
    ImageX = 2;
    ImageY = 1;
    const std::vector<unsigned char> codes(2, 8);
    EXPECT_EXIT_ONE_PRINTING(buf_pgm_save("/dev/full", codes),
                             "error! can not write /dev/full\nwrite: No space left on device\n");
}

TEST(OutputFailures, MissingDirectoryStopsTheRun) {
    ImageX = 1;
    ImageY = 1;
    const std::vector<unsigned char> codes(1, 8);
    EXPECT_EXIT_ONE_PRINTING(buf_pgm_save("/nonexistent/out.pgm", codes), "fopen: No such file or directory\n");
    const std::vector<unsigned char> rgb(3, 1);
    EXPECT_EXIT_ONE_PRINTING(ppm_save("/nonexistent/out.pgm", rgb, 1, 1),
                             "proof image : /nonexistent/out_proof.ppm\nfopen: No such file or directory\n");
}

}  // namespace
