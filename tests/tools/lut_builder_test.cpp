#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/run_builder.h"

namespace lut_builder {
namespace {

ParsedOptions parse(std::vector<std::string_view> args) { return parse_options(args); }

TEST(BuilderOptions, DefaultsWithOnlyAnOutput) {
    const ParsedOptions parsed = parse({"-o", "x.bin"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const BuilderOptions& o = *parsed.options;
    EXPECT_EQ(o.output, "x.bin");
    EXPECT_EQ(o.inks, kDefaultInks);
    EXPECT_EQ(o.layout, LutLayout::morva6);
    EXPECT_FALSE(o.identity);
    EXPECT_EQ(o.mapping.lightness, LightnessMode::linear);
    EXPECT_EQ(o.mapping.chroma, ChromaMode::compress);
    EXPECT_DOUBLE_EQ(o.mapping.knee, 0.8);
}

TEST(BuilderOptions, EveryOptionInBothSpellings) {
    const ParsedOptions parsed =
        parse({"--ink", "white=200,195,180", "--ink=blue=1,2,3", "--layout=ulma", "--identity",
               "--lightness", "clip", "--chroma=clip", "--knee", "0.5", "--output=y.bin"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const BuilderOptions& o = *parsed.options;
    EXPECT_EQ(o.output, "y.bin");
    EXPECT_EQ(o.inks[kWhiteInk], (Rgb8{200, 195, 180}));
    EXPECT_EQ(o.inks[5], (Rgb8{1, 2, 3}));
    EXPECT_EQ(o.inks[kBlackInk], kDefaultInks[kBlackInk]);
    EXPECT_EQ(o.layout, LutLayout::ulma);
    EXPECT_TRUE(o.identity);
    EXPECT_EQ(o.mapping.lightness, LightnessMode::clip);
    EXPECT_EQ(o.mapping.chroma, ChromaMode::clip);
    EXPECT_DOUBLE_EQ(o.mapping.knee, 0.5);
}

TEST(BuilderOptions, HelpEndsTheParsingWhereItStands) {
    const ParsedOptions parsed = parse({"--bogus", "-h"});
    // Options are read in order, so an earlier mistake is reported first.
    EXPECT_FALSE(parsed.options);
    const ParsedOptions help = parse({"--help", "--bogus"});
    ASSERT_TRUE(help.options);
    EXPECT_TRUE(help.options->help);
}

class BadOptions : public ::testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(BadOptions, AreRejectedWithAReasonAndExitStatusTwo) {
    const ParsedOptions parsed = parse(GetParam());
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.error.empty());

    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(run_builder(GetParam(), out, err), kExitBadUsage);
    EXPECT_NE(err.str().find(parsed.error), std::string::npos);
    EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, BadOptions,
    ::testing::Values(std::vector<std::string_view>{},
                      std::vector<std::string_view>{"--identity"},
                      std::vector<std::string_view>{"-o"},
                      std::vector<std::string_view>{"-o", ""},
                      std::vector<std::string_view>{"-o", "x", "--bogus"},
                      std::vector<std::string_view>{"-o", "x", "stray"},
                      std::vector<std::string_view>{"-o", "x", "--identity=1"},
                      std::vector<std::string_view>{"-o", "x", "--layout", "bmp"},
                      std::vector<std::string_view>{"-o", "x", "--lightness", "log"},
                      std::vector<std::string_view>{"-o", "x", "--chroma", "squash"},
                      std::vector<std::string_view>{"-o", "x", "--knee", "1.5"},
                      std::vector<std::string_view>{"-o", "x", "--knee", "0.5x"},
                      std::vector<std::string_view>{"-o", "x", "--ink", "black"},
                      std::vector<std::string_view>{"-o", "x", "--ink", "cyan=1,2,3"},
                      std::vector<std::string_view>{"-o", "x", "--ink", "red=1,2"},
                      std::vector<std::string_view>{"-o", "x", "--ink", "red=1,2,256"},
                      std::vector<std::string_view>{"-o", "x", "--ink", "red=1,,3"},
                      std::vector<std::string_view>{"-o", "x", "--ink", "red= 1,2,3"}));

class RunBuilder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(TEST_BINARY_DIR) /
                  ("run_builder_" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    int run(std::vector<std::string> args) {
        std::vector<std::string_view> views(args.begin(), args.end());
        out_.str("");
        err_.str("");
        return run_builder(views, out_, err_);
    }
    std::vector<std::uint8_t> read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path folder_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(RunBuilder, IdentityInBothLayoutsReplacingOldFilesWithoutLeftovers) {
    const auto six = folder_ / "six.bin";
    const auto ulma = folder_ / "ulma.bin";
    std::ofstream(six) << "old";
    ASSERT_EQ(run({"--identity", "-o", six.string(), "--ink", "black=20,20,25"}), kExitWritten)
        << err_.str();
    EXPECT_NE(out_.str().find(six.string()), std::string::npos);
    ASSERT_EQ(run({"--identity", "--layout", "ulma", "-o", ulma.string()}), kExitWritten);

    const std::vector<std::uint8_t> six_bytes = read(six);
    ASSERT_EQ(six_bytes.size(), kMorva6LutSize);
    EXPECT_EQ(six_bytes[0], 25);  // the black ink, blue first
    EXPECT_EQ(six_bytes[18 + 3 * 4096 + 2], 4);  // input (4, 0, 0), red last
    const std::vector<std::uint8_t> ulma_bytes = read(ulma);
    ASSERT_EQ(ulma_bytes.size(), kUlmaLutSize);
    EXPECT_EQ(ulma_bytes[3 * 4096], 4);  // red first
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(RunBuilder, MappedTableIsRepeatableAndDiffersFromTheIdentity) {
    const auto first = folder_ / "first.bin";
    const auto second = folder_ / "second.bin";
    const auto identity = folder_ / "identity.bin";
    ASSERT_EQ(run({"-o", first.string(), "--chroma", "clip"}), kExitWritten) << err_.str();
    ASSERT_EQ(run({"-o", second.string(), "--chroma", "clip"}), kExitWritten);
    ASSERT_EQ(run({"-o", identity.string(), "--identity"}), kExitWritten);
    EXPECT_EQ(read(first), read(second));
    EXPECT_NE(read(first), read(identity));
}

TEST_F(RunBuilder, UnusableInksWriteNothing) {
    const auto path = folder_ / "lut.bin";
    EXPECT_EQ(run({"-o", path.string(), "--ink", "white=10,10,10", "--ink", "black=200,200,200"}),
              kExitBadUsage);
    EXPECT_NE(err_.str().find("lighter"), std::string::npos);
    EXPECT_EQ(run({"-o", path.string(), "--ink", "yellow=0,0,0", "--ink", "red=0,0,0", "--ink",
                   "green=0,0,0", "--ink", "blue=0,0,0"}),
              kExitBadUsage);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(RunBuilder, UnwritableOutputExitsOne) {
    const auto missing = folder_ / "missing" / "lut.bin";
    EXPECT_EQ(run({"--identity", "-o", missing.string()}), kExitWriteFailed);
    EXPECT_NE(err_.str().find("missing"), std::string::npos);
    EXPECT_EQ(run({"--identity", "-o", folder_.string()}), kExitWriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(folder_));
}

TEST_F(RunBuilder, HelpPrintsTheUsage) {
    EXPECT_EQ(run({"--help"}), kExitWritten);
    EXPECT_NE(out_.str().find("Usage: morva6_lut_builder -o PATH"), std::string::npos);
    EXPECT_EQ(err_.str(), "");
}

}  // namespace
}  // namespace lut_builder
