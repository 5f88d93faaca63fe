// The generator's BMP and PPM writers, read back through the project's image
// layer at odd sizes (row order, channel order, row padding), and its PPM
// reader on what it must refuse.
#include <gtest/gtest.h>
#include <morva6/morva6_image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/sample_pictures/picture.h"

namespace sample_pictures {
namespace {

std::string scratch(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(TEST_BINARY_DIR) / "sample_pictures_files";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

TEST(PictureFiles, ReadBackAsTheSamePixelsAtOddSizes) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 2}, std::pair{5, 4}}) {
        Picture picture = blank_picture(width, height);
        for (std::size_t i = 0; i < picture.rgb.size(); ++i) picture.rgb[i] = static_cast<std::uint8_t>(i * 7 + 3);
        const std::string bmp = scratch("odd.bmp"), ppm = scratch("odd.ppm");
        ASSERT_TRUE(write_bmp(bmp, picture) && write_ppm(ppm, picture));
        std::uint8_t* raw[2] = {nullptr, nullptr};
        std::int32_t w = 0, h = 0;
        ASSERT_EQ(readBMP_QW(&raw[0], &w, &h, bmp.c_str(), MORVA6_RGB, 1), MORVA6_IMG_OK);
        ASSERT_EQ(readPPM_QW(&raw[1], &w, &h, ppm.c_str()), MORVA6_IMG_OK);
        for (std::uint8_t* pixels : raw) {
            EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + picture.rgb.size()), picture.rgb) << width;
            std::free(pixels);
        }
        EXPECT_EQ(std::filesystem::file_size(bmp), 54 + (width * 3 + 3) / 4 * 4 * height);  // padded rows
    }
}

TEST(PictureFiles, PpmReaderTakesCommentsAndRefusesWhatItCannotRead) {
    const std::string path = scratch("reader.ppm");
    const auto read = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        Picture p;
        return read_ppm(path, p) ? p.width * 100 + p.height : -1;
    };
    EXPECT_EQ(read("P6 # size follows\n2\t1\n255\nabcdef"), 201);
    for (const char* bad : {"P6\n2 1\n255\nabcde", "P6\n2 1\n65535\nabcdef", "P3\n2 1\n255\nabcdef", "P6\n0 1\n255\n",
                            "P6\n999999 1\n255\n", "P6\n2"})
        EXPECT_EQ(read(bad), -1) << bad;
}

}  // namespace
}  // namespace sample_pictures
