// The shared foundations: numbers, palette text, bounded reads, the output
// set and the clash check.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <optional>
#include <string>

#include "common/bounded_read.h"
#include "common/numbers.h"
#include "common/output_set.h"
#include "common/palette_text.h"
#include "common/replace_file.h"
#include "tests/support/support.h"

namespace {

using namespace test_support;

std::size_t entries(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Overflow, NaN and infinity never pass as another number.
TEST(Numbers, OverflowNanAndInfinityAreRefused) {
    struct Case {
        const char* text;
        std::optional<long long> whole;  // parse_whole within [-1000, 1000]
        std::optional<int> leading;      // parse_leading_int
        std::optional<double> leading_real;
    };
    const Case cases[] = {
        {"+7", 7, 7, 7.0},
        {"1001", std::nullopt, 1001, 1001.0},
        {"4294967297", std::nullopt, std::nullopt, 4294967297.0},
        {"-2147483648", std::nullopt, INT_MIN, -2147483648.0},
        {"12abc", std::nullopt, 12, 12.0},
        {"abc", std::nullopt, 0, 0.0},
        {"nan", std::nullopt, 0, std::nullopt},
        {"1e999", std::nullopt, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::parse_whole(c.text, -1000, 1000), c.whole);
        EXPECT_EQ(common::parse_leading_int(c.text), c.leading);
        EXPECT_EQ(common::parse_leading_real(c.text), c.leading_real);
    }
    EXPECT_EQ(common::parse_real("2.0", 0.0, 2.0), 2.0);
    for (const char* refused : {"2.01", "nan", "inf", "1e999", "0x", "1.5x", " 1", ""})
        EXPECT_EQ(common::parse_real(refused, 0.0, 2.0), std::nullopt) << refused;
}

// Blanks, tabs, commas and line ends separate; the error names the line.
TEST(PaletteText, SeparatorsCountsAndWordsThatAreNotNumbers) {
    const std::string eight =
        "16 1.5 -2\n73,-1,3.5\n68\t-4\t52\r\n40 36 22\n30 6 -30\n44 -26 10\n55 24 42\n+33 18 -17\n";
    std::string error;
    const auto colours = common::parse_lab_colours(eight, 8, "p.txt", error);
    ASSERT_TRUE(colours) << error;
    EXPECT_EQ((*colours)[1].a, -1.0);
    EXPECT_EQ((*colours)[2].b, 52.0);
    EXPECT_EQ((*colours)[7].l, 33.0);
    struct Case {
        std::string text;
        const char* error;
    };
    const Case refused[] = {
        {eight + "\n1", "p.txt: wants 8 CIELAB colours (24 numbers), got more numbers"},
        {"1 2 3\n4 5 6\n", "p.txt: wants 8 CIELAB colours (24 numbers), got 6 numbers"},
        {"1 2 3\n\n 4 5 1e999", "p.txt:3: '1e999' is not a number"},
        {"1 2 +-3", "p.txt:1: '+-3' is not a number"},
        {std::string("1 2\0003", 5), "p.txt:1: '2?3' is not a number"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(common::parse_lab_colours(c.text, 8, "p.txt", error));
        EXPECT_EQ(error, c.error);
    }
}

// Data files are regular files of a plausible size; streams only where
// allowed, and then only up to the limit.
TEST(BoundedRead, FoldersDevicesPipesAndSizes) {
    const TempDir dir;
    write_file(dir / "small", std::string("12345"));
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::size_t limit;
        common::Streams streams;
        const char* error;  // nullptr: read
    };
    const Case cases[] = {
        {(dir / "small").string(), 5, common::Streams::refused, nullptr},
        {(dir / "small").string(), 4, common::Streams::refused, "small: larger than 4 bytes, refused"},
        {(dir / "folder").string(), 100, common::Streams::refused, "folder: is a folder, not a file"},
        {"/dev/zero", 100, common::Streams::refused, "/dev/zero: is a device, not a file"},
        {"/dev/zero", 1024, common::Streams::allowed, "/dev/zero: larger than 1 KiB, refused"},
        {(dir / "fifo").string(), 100, common::Streams::refused, "fifo: is a pipe, not a file"},
        {(dir / "missing").string(), 100, common::Streams::refused, "missing: cannot open: No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        const auto bytes = common::read_bounded(c.path, c.limit, error, c.streams);
        if (c.error == nullptr) {
            ASSERT_TRUE(bytes) << error;
            EXPECT_EQ(bytes->size(), 5u);
        } else {
            EXPECT_FALSE(bytes);
            EXPECT_TRUE(error.ends_with(c.error)) << error;
            EXPECT_TRUE(error.starts_with(c.path.substr(0, 5))) << error;
        }
    }
}

// All outputs or none; nothing left behind, also when a run is killed.
TEST(OutputSet, AllOrNothingWithoutLeftovers) {
    const TempDir dir;
    write_file(dir / "a", std::string("old a"));
    write_file(dir / "b", std::string("old b"));
    const std::uint8_t body[] = {'!'};
    {
        common::OutputSet outputs;
        outputs.add((dir / "a").string(), "new a", body);
        outputs.add((dir / "missing" / "b").string(), "new b");
        std::string error;
        EXPECT_FALSE(outputs.commit(error));
        EXPECT_NE(error.find("missing/b: cannot create"), std::string::npos) << error;
    }
    EXPECT_EQ(read_file(dir / "a"), "old a");
    EXPECT_EQ(entries(dir.path()), 2u);
    common::OutputSet outputs;
    outputs.add((dir / "a").string(), "new a", body);
    outputs.add((dir / "b").string(), "new b");
    outputs.add("/dev/null", "ignored");
    std::string error;
    ASSERT_TRUE(outputs.commit(error)) << error;
    EXPECT_EQ(read_file(dir / "a"), "new a!");
    EXPECT_EQ(read_file(dir / "b"), "new b");
    EXPECT_EQ(entries(dir.path()), 2u);

    for (const int signal_number : {SIGTERM, SIGINT, SIGKILL}) {
        const pid_t child = fork();
        if (child == 0) {
            common::ReplaceFile file((dir / "a").string());
            file.write("partial", 7);
            file.finish();
            raise(signal_number);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        // SIGKILL cannot be caught: only an unnamed temporary leaves nothing.
        if (signal_number != SIGKILL) {
            EXPECT_EQ(entries(dir.path()), 2u) << signal_number;
        }
    }
    EXPECT_EQ(read_file(dir / "a"), "new a!");
}

// An output never replaces an input or another output: by name, through
// links and hard links; pipes, devices and "-" never clash.
TEST(OutputSet, ClashesByNameAndInode) {
    const TempDir dir;
    write_file(dir / "in.ppm", std::string("P6"));
    fs::create_symlink("in.ppm", dir / "link.ppm");
    const std::string in = (dir / "in.ppm").string();
    const std::string d = dir.path().string();
    struct Case {
        std::vector<std::string> outputs;
        std::string clash;
    };
    const Case cases[] = {
        {{d + "/out.pgm", d + "/out_proof.ppm"}, ""},
        {{in}, "the output " + in + " is the input " + in + "; refusing to overwrite it"},
        {{d + "/link.ppm"}, "the output " + d + "/link.ppm is the input " + in + "; refusing to overwrite it"},
        {{d + "/new.bmp", d + "/./new.bmp"}, "the outputs " + d + "/new.bmp and " + d + "/./new.bmp are the same file"},
        {{"/dev/null", "/dev/null", "-", "-"}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(common::find_clash(std::vector<std::string>{in, "-"}, c.outputs), c.clash);
    }
}

}  // namespace
