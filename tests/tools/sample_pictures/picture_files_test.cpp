// The generator's own BMP and PPM writers, read back through the project's
// image layer: row order, channel order and row padding at odd widths.
#include <gtest/gtest.h>
#include <morva6/morva6_image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tools/sample_pictures/picture.h"

namespace sample_pictures {
namespace {

namespace fs = std::filesystem;

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};

std::string scratch(const std::string& name) {
    const fs::path dir = fs::path(TEST_BINARY_DIR) / "sample_pictures_files";
    fs::create_directories(dir);
    return (dir / name).string();
}

// Every pixel different, so a swapped row, column or channel shows.
Picture numbered(int width, int height) {
    Picture p = blank_picture(width, height);
    for (std::size_t i = 0; i < p.rgb.size(); ++i) p.rgb[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return p;
}

class OddSizes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(OddSizes, BmpReadsBackAsTheSamePixels) {
    const auto [width, height] = GetParam();
    const Picture picture = numbered(width, height);
    const std::string path = scratch("odd_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    ASSERT_TRUE(write_bmp(path, picture));
    std::uint8_t* raw = nullptr;
    std::int32_t w = 0, h = 0;
    ASSERT_EQ(readBMP_QW(&raw, &w, &h, path.c_str(), MORVA6_RGB, 1), MORVA6_IMG_OK);
    const std::unique_ptr<std::uint8_t, FreeDeleter> stream(raw);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    EXPECT_EQ(std::vector<std::uint8_t>(raw, raw + picture.rgb.size()), picture.rgb);
    // Rows are padded to four bytes.
    const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(fs::file_size(path), 54 + row * height);
}

TEST_P(OddSizes, PpmReadsBackThroughBothReaders) {
    const auto [width, height] = GetParam();
    const Picture picture = numbered(width, height);
    const std::string path = scratch("odd_" + std::to_string(width) + "x" + std::to_string(height) + ".ppm");
    ASSERT_TRUE(write_ppm(path, picture));
    std::uint8_t* raw = nullptr;
    std::int32_t w = 0, h = 0;
    ASSERT_EQ(readPPM_QW(&raw, &w, &h, path.c_str()), MORVA6_IMG_OK);
    const std::unique_ptr<std::uint8_t, FreeDeleter> image(raw);
    EXPECT_EQ(std::vector<std::uint8_t>(raw, raw + picture.rgb.size()), picture.rgb);
    Picture again;
    ASSERT_TRUE(read_ppm(path, again));
    EXPECT_EQ(again.width, width);
    EXPECT_EQ(again.rgb, picture.rgb);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OddSizes,
                         ::testing::Values(std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 2}, std::pair{5, 4},
                                           std::pair{4, 1}));

TEST(PpmReader, TakesCommentsAndRefusesWhatItCannotRead) {
    const std::string path = scratch("reader.ppm");
    const auto read = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        Picture p;
        return read_ppm(path, p) ? p.width * 100 + p.height : -1;
    };
    EXPECT_EQ(read("P6 # size follows\n2\t1\n255\nabcdef"), 201);
    EXPECT_EQ(read("P6\n2 1\n255\nabcde"), -1);    // a byte short
    EXPECT_EQ(read("P6\n2 1\n65535\nabcdef"), -1);  // 16-bit samples
    EXPECT_EQ(read("P3\n2 1\n255\nabcdef"), -1);   // plain text format
    EXPECT_EQ(read("P6\n0 1\n255\n"), -1);
    EXPECT_EQ(read("P6\n999999 1\n255\n"), -1);
    EXPECT_EQ(read("P6\n2"), -1);
    Picture p;
    EXPECT_FALSE(read_ppm(scratch("absent.ppm"), p));
}

}  // namespace
}  // namespace sample_pictures
