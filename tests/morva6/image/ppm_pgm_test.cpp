// PPM/PGM files: exact bytes written, round trips, every refused header and
// short file (no picture handed out), and write failures that must leave an
// earlier file as it was.
#include <gtest/gtest.h>

#include <morva6/morva6_image.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct FreeDeleter {
    void operator()(std::uint8_t* block) const { std::free(block); }
};
using MallocPtr = std::unique_ptr<std::uint8_t, FreeDeleter>;

// A fresh, empty directory per test.
fs::path scratch_dir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = fs::path(TEST_BINARY_DIR) / "ppm_pgm_scratch" /
                   (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Result of one read: status, printed text, picture and sizes.
struct ReadResult {
    int status;
    std::string printed;
    MallocPtr image;
    std::int32_t width = -1, height = -1;
};

ReadResult read_picture(bool ppm, const fs::path& path) {
    ReadResult result{};
    std::uint8_t* image = nullptr;
    ::testing::internal::CaptureStdout();
    result.status = (ppm ? readPPM_QW : readPGM_QW)(&image, &result.width, &result.height, path.c_str());
    result.printed = ::testing::internal::GetCapturedStdout();
    result.image.reset(image);
    return result;
}

Bytes picture_bytes(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return bytes;
}

TEST(PpmPgmFiles, WriterProducesTheExactHeaderAndSamples) {
    const fs::path dir = scratch_dir();
    const Bytes rgb{1, 2, 3, 250, 251, 252};
    ASSERT_EQ(savePPM_QW(rgb.data(), 2, 1, (dir / "a.ppm").c_str()), 0);
    EXPECT_EQ(read_file(dir / "a.ppm"), std::string("P6\n2 1\n255\n") + "\x01\x02\x03\xfa\xfb\xfc");

    const Bytes grey{9, 8, 7};
    ASSERT_EQ(savePGM_QW(grey.data(), 1, 3, (dir / "a.pgm").c_str()), 0);
    EXPECT_EQ(read_file(dir / "a.pgm"), std::string("P5\n1 3\n255\n") + "\x09\x08\x07");

    ASSERT_EQ(savePGM_QW(nullptr, 0, 0, (dir / "empty.pgm").c_str()), 0);
    EXPECT_EQ(read_file(dir / "empty.pgm"), "P5\n0 0\n255\n");
}

TEST(PpmPgmFiles, RoundTripsOfOddSizes) {
    const fs::path dir = scratch_dir();
    for (const bool ppm : {true, false}) {
        for (const auto& [w, h] : {std::pair{2, 1}, {5, 3}, {1, 7}, {9999, 1}}) {
            const Bytes samples = picture_bytes(std::size_t(w) * h * (ppm ? 3 : 1));
            const fs::path path = dir / (ppm ? "p.ppm" : "p.pgm");
            ASSERT_EQ((ppm ? savePPM_QW : savePGM_QW)(samples.data(), w, h, path.c_str()), 0);
            const ReadResult got = read_picture(ppm, path);
            ASSERT_EQ(got.status, 0) << got.printed;
            EXPECT_EQ(got.printed, "");
            EXPECT_EQ(got.width, w);
            EXPECT_EQ(got.height, h);
            EXPECT_EQ(Bytes(got.image.get(), got.image.get() + samples.size()), samples);
        }
    }
}

TEST(PpmPgmFiles, ReaderTakesAnySingleSeparatorAndIgnoresTrailingBytes) {
    const fs::path dir = scratch_dir();
    write_file(dir / "a.ppm", std::string("P6\t2\r1 255\n") + "abcdef" + "trailing");
    const ReadResult got = read_picture(true, dir / "a.ppm");
    ASSERT_EQ(got.status, 0);
    EXPECT_EQ(std::string(got.image.get(), got.image.get() + 6), "abcdef");

    write_file(dir / "zero.pgm", "P5\n0 4\n255\n");
    const ReadResult empty = read_picture(false, dir / "zero.pgm");
    ASSERT_EQ(empty.status, 0);
    EXPECT_NE(empty.image, nullptr);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 4);
}

struct Refusal {
    const char* name;
    bool ppm;
    std::string content;
    int status;
    std::string printed;  // "%s" stands for the path
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class PpmPgmRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(PpmPgmRefusals, NoPictureIsHandedOut) {
    const Refusal& test = GetParam();
    const fs::path path = scratch_dir() / "in";
    write_file(path, test.content);
    const ReadResult got = read_picture(test.ppm, path);
    EXPECT_EQ(got.status, test.status);
    std::string expected = test.printed;
    if (const auto at = expected.find("%s"); at != std::string::npos) expected.replace(at, 2, path.native());
    EXPECT_EQ(got.printed, expected);
    EXPECT_EQ(got.image, nullptr);
}

const std::string kHeaderEnds = "Invalid image header: the file ends inside the header\n";
const std::string kEmptyToken = "Invalid image header: empty token\n";
const std::string kLongToken = "Invalid image header: a token is longer than 4 characters\n";

INSTANTIATE_TEST_SUITE_P(
    Headers, PpmPgmRefusals,
    ::testing::Values(
        Refusal{"AsciiPixmap", true, "P3\n1 1\n255\n1 2 3\n", 6, "Invalid image format (must be 'P6')\n"},
        Refusal{"GreyMapAsPixmap", true, "P5\n1 1\n255\nx", 6, "Invalid image format (must be 'P6')\n"},
        Refusal{"PixmapAsGreyMap", false, "P6\n1 1\n255\nxyz", 6, "Invalid image format (must be 'P5')\n"},
        Refusal{"ShortMagic", false, "P\n1 1\n255\nx", 6, "Invalid image format (must be 'P5')\n"},
        Refusal{"SixteenBit", true, "P6\n1 1\n1023\nxxxxxx", 8, "'%s' does not have 8-bits components\n"},
        Refusal{"MaximumNot255", false, "P5\n1 1\n254\nx", 8, "'%s' does not have 8-bits components\n"},
        Refusal{"EmptyFile", true, "", 12, kHeaderEnds},
        Refusal{"EndsAfterMagic", true, "P6", 12, kHeaderEnds},
        Refusal{"EndsAfterSizes", false, "P5\n2 2\n", 12, kHeaderEnds},
        Refusal{"EndsInsideMaximum", false, "P5\n2 2\n255", 12, kHeaderEnds},
        Refusal{"TwoSeparators", true, "P6\n2  1\n255\nxxxxxx", 12, kEmptyToken},
        Refusal{"Comment", true, "P6\n# made by hand\n1 1\n255\nxxx", 12, kEmptyToken},
        Refusal{"LeadingBlank", false, " P5\n1 1\n255\nx", 12, kEmptyToken},
        Refusal{"WidthOfFiveDigits", true, "P6\n10000 1\n255\n", 12, kLongToken},
        Refusal{"LongMaximum", true, "P6\n1 1\n65535\nxxxxxx", 12, kLongToken},
        Refusal{"LongMagic", false, "P5000 1 1 255 x", 12, kLongToken},
        Refusal{"NoPixels", true, "P6\n2 1\n255\n", 13, "'%s' holds fewer pixel bytes than its header announces\n"},
        Refusal{"ShortPixels", false, "P5\n3 3\n255\n12345678", 13, "'%s' holds fewer pixel bytes than its header announces\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PpmPgmFiles, MissingFile) {
    const ReadResult got = read_picture(true, scratch_dir() / "absent.ppm");
    EXPECT_EQ(got.status, 1);
    EXPECT_EQ(got.printed, "Error opening file!\n");
    EXPECT_EQ(got.image, nullptr);
}

// The reader must not keep files open: with the descriptor limit lowered,
// a hundred refused reads would run out of descriptors if any path leaked one.
TEST(PpmPgmFiles, RefusedReadsCloseTheFile) {
    const fs::path dir = scratch_dir();
    write_file(dir / "bad", "P6\n1 1\n7\n");
    write_file(dir / "short", "P6\n1 1\n255\n");
    write_file(dir / "long", "P6\n12345 1\n255\n");
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit lowered{32, saved.rlim_max};
    setrlimit(RLIMIT_NOFILE, &lowered);
    std::vector<int> statuses;
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 100; ++i) {
        for (const char* name : {"bad", "short", "long"}) {
            std::uint8_t* image = nullptr;
            std::int32_t w = 0, h = 0;
            statuses.push_back(readPPM_QW(&image, &w, &h, (dir / name).c_str()));
        }
    }
    ::testing::internal::GetCapturedStdout();
    setrlimit(RLIMIT_NOFILE, &saved);
    for (std::size_t i = 0; i < statuses.size(); i += 3) {
        ASSERT_EQ(statuses[i], 8);
        ASSERT_EQ(statuses[i + 1], 13);
        ASSERT_EQ(statuses[i + 2], 12);
    }
}

TEST(PpmPgmFiles, WriterRefusesBadArguments) {
    const fs::path path = scratch_dir() / "x.ppm";
    const Bytes one(3, 0);
    EXPECT_EQ(savePPM_QW(one.data(), -1, 1, path.c_str()), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(savePGM_QW(one.data(), 50000, 50000, path.c_str()), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(savePPM_QW(nullptr, 1, 1, path.c_str()), MORVA6_IMG_BAD_ARGUMENT);
    EXPECT_FALSE(fs::exists(path));
}

// ---- write failures ----

TEST(PpmPgmWriteFailures, UnopenablePath) {
    const fs::path dir = scratch_dir();
    const Bytes one(3, 0);
    ::testing::internal::CaptureStdout();
    const int status = savePPM_QW(one.data(), 1, 1, (dir / "no" / "such" / "dir.ppm").c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error opening file!\n");
    EXPECT_EQ(status, MORVA6_IMG_OPEN_FAILED);
}

TEST(PpmPgmWriteFailures, FullDevice) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const Bytes samples = picture_bytes(300 * 300);
    ::testing::internal::CaptureStdout();
    const int status = savePGM_QW(samples.data(), 300, 300, "/dev/full");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error writing file!\n");
    EXPECT_EQ(status, MORVA6_IMG_WRITE_FAILED);
}

TEST(PpmPgmWriteFailures, UnwritableDirectoryKeepsTheEarlierFile) {
    if (geteuid() == 0) GTEST_SKIP() << "directory permissions do not bind the superuser";
    const fs::path dir = scratch_dir();
    const fs::path path = dir / "keep.ppm";
    write_file(path, "earlier");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const Bytes one(3, 0);
    ::testing::internal::CaptureStdout();
    const int status = savePPM_QW(one.data(), 1, 1, path.c_str());
    ::testing::internal::GetCapturedStdout();
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(status, MORVA6_IMG_OPEN_FAILED);
    EXPECT_EQ(read_file(path), "earlier");
}

// A write cut short (here by a file-size limit, as a full disk would) reports
// 5 and leaves the earlier file whole, with no temporary file behind.
int save_over_limit(const char* path) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Bytes samples = picture_bytes(30 * 30 * 3);
    return savePPM_QW(samples.data(), 30, 30, path);
}

TEST(PpmPgmWriteFailures, ShortWriteKeepsTheEarlierFile) {
    const fs::path dir = scratch_dir();
    const fs::path path = dir / "keep.ppm";
    write_file(path, "earlier");
    EXPECT_EXIT(std::_Exit(save_over_limit(path.c_str())), ::testing::ExitedWithCode(MORVA6_IMG_WRITE_FAILED),
                "");
    EXPECT_EQ(read_file(path), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

}  // namespace
