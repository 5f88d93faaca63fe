#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/support.h"
#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/run_builder.h"

namespace lut_builder {
namespace {

namespace fs = std::filesystem;

TEST(BuilderOptions, InksInSrgbAndInCielabOfEitherWhite) {
    const std::vector<std::string_view> args{"--ink",     "white=200,195,180", "--ink-lab=red=40,50,30@D65",
                                             "--ink-lab", "blue=30,10,-40",    "--output=y.bin"};
    const ParsedOptions parsed = parse_options(args);
    ASSERT_TRUE(parsed.options) << parsed.error;
    const BuilderOptions& o = *parsed.options;
    EXPECT_EQ(o.inks[kWhiteInk], (Rgb8{200, 195, 180}));
    EXPECT_EQ(o.inks[kBlackInk], kDefaultInks[kBlackInk]);
    EXPECT_NEAR(o.ink_colours[3].a, 50.0, 1e-9);  // D65 as given, stored as its nearest bytes
    EXPECT_EQ(o.inks[3], to_bytes(rgb_from_lab({40, 50, 30})));
    EXPECT_NEAR(o.ink_colours[5].l, 30.0, 1.0);  // D50 adapted: lightness kept, colour moved
    EXPECT_GT(std::fabs(o.ink_colours[5].b + 40.0), 0.5);
}

TEST(BuilderOptions, BadCommandLinesAreRejectedWithAReasonAndExitStatusTwo) {
    const std::vector<std::vector<std::string_view>> bad{
        {},
        {"--identity"},
        {"-o"},
        {"-o", ""},
        {"-o", "x", "--bogus"},
        {"-o", "x", "stray"},
        {"-o", "x", "--identity=1"},
        {"-o", "x", "--layout", "bmp"},
        {"-o", "x", "--ink", "black"},
        {"-o", "x", "--ink", "cyan=1,2,3"},
        {"-o", "x", "--ink", "red=1,2"},
        {"-o", "x", "--ink", "red=1,2,256"},
        {"-o", "x", "--ink", "red= 1,2,3"},
        {"-o", "x", "--ink-lab", "red=40,50"},
        {"-o", "x", "--ink-lab", "red=40,50,30@D55"},
        {"-o", "x", "--ink-lab", "red=140,0,0"},
        {"-o", "x", "--layout", "ulma"},  // an eight-colour table needs the panel's palette
        {"-o", "x", "--palette-lab", "50,0,0"},
        {"-o", "x", "--layout", "ulma", "--palette", "/no/such/file"},
        {"-o", "x", "--layout", "ulma", "--palette-lab", "1,2,3 4,5,6 7,8,9 1,2,3 4,5,6 7,8,9 1,2,3 4,5,x"},
        {"-o", "x", "--method", "0"},
        {"-o", "x", "--method", "7"},
        {"-o", "x", "--no-flat-inks=1"},
        {"-o", "x", "--layout", "ulma", "--palette-lab",
         "16,1,-2 73,-1,3 68,-4,52 40,36,22 30,6,-30 44,-26,10 55,24,42 33,18,-17", "--method",
         "1"}};  // one diffusion only
    for (const auto& args : bad) {
        const ParsedOptions parsed = parse_options(args);
        EXPECT_FALSE(parsed.options);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(run_builder(args, out, err), kExitBadUsage);
        EXPECT_NE(err.str().find(parsed.error), std::string::npos);
        EXPECT_FALSE(parsed.error.empty());
        EXPECT_EQ(out.str(), "");
    }
}

class RunBuilder : public ::testing::Test {
  protected:
    int run(std::vector<std::string> args) {
        std::vector<std::string_view> views(args.begin(), args.end());
        out_.str("");
        err_.str("");
        return run_builder(views, out_, err_);
    }
    static std::vector<std::uint8_t> read(const fs::path& path) { return test_support::read_bytes(path); }
    const test_support::TempDir scratch_;
    const fs::path folder_ = scratch_.path();
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(RunBuilder, BothLayoutsReplaceOldFilesWithoutLeftovers) {
    const auto six = folder_ / "six.bin";
    const auto ulma = folder_ / "ulma.bin";
    const auto palette = folder_ / "palette.txt";
    std::ofstream(six) << "old";
    std::ofstream(palette) << "16 1.5 -2\n73 -1 3.5\n68 -4 52\n40 36 22\n30 6 -30\n44 -26 10\n55 24 42\n33 18 -17\n";
    ASSERT_EQ(run({"--identity", "-o", six.string(), "--ink", "black=20,20,25"}), kExitWritten) << err_.str();
    EXPECT_NE(out_.str().find(six.string()), std::string::npos);
    const std::vector<std::uint8_t> six_bytes = read(six);
    ASSERT_EQ(six_bytes.size(), kMorva6LutSize);
    EXPECT_EQ(six_bytes[0], 25);                 // the black ink, blue first
    EXPECT_EQ(six_bytes[18 + 3 * 4096 + 2], 4);  // input (4, 0, 0), red last
    ASSERT_EQ(run({"--layout", "ulma", "--palette", palette.string(), "-o", ulma.string()}), kExitWritten)
        << err_.str();
    const std::vector<std::uint8_t> ulma_bytes = read(ulma);
    ASSERT_EQ(ulma_bytes.size(), kUlmaLutSize);
    EXPECT_EQ(std::vector<std::uint8_t>(ulma_bytes.end() - 3, ulma_bytes.end()), std::vector<std::uint8_t>(3, 0));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 3);
}

TEST_F(RunBuilder, BadInksOrAnUnwritablePathWriteNothing) {
    const auto path = folder_ / "lut.bin";
    EXPECT_EQ(run({"-o", path.string(), "--ink", "white=10,10,10", "--ink", "black=200,200,200"}), kExitBadUsage);
    EXPECT_NE(err_.str().find("lighter"), std::string::npos);
    EXPECT_EQ(run({"-o", path.string(), "--ink", "yellow=0,0,0", "--ink", "red=0,0,0", "--ink", "green=0,0,0", "--ink",
                   "blue=0,0,0"}),
              kExitBadUsage);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(run({"--identity", "-o", (folder_ / "missing" / "lut.bin").string()}), kExitWriteFailed);
    EXPECT_NE(err_.str().find("missing"), std::string::npos);
    EXPECT_EQ(run({"--identity", "-o", folder_.string()}), kExitWriteFailed);
    EXPECT_TRUE(fs::is_directory(folder_));
    EXPECT_EQ(run({"--help"}), kExitWritten);
    EXPECT_NE(out_.str().find("Usage: morva6_lut_builder -o PATH"), std::string::npos);
}

}  // namespace
}  // namespace lut_builder
