// The contact sheet program on tiny pictures: layout, shrinking, captions,
// PNG output and its refusals.
#include <gtest/gtest.h>
#include <morva6/morva6_image.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/support.h"
#include "tools/sample_pictures/picture.h"

namespace sample_pictures {
namespace {

namespace fs = std::filesystem;

std::string path(const std::string& name) { return (fs::path(TEST_BINARY_DIR) / ("sheet_" + name)).string(); }

int run(const std::string& arguments) {
    return test_support::run_command(std::string(CONTACT_SHEET_EXE) + " " + arguments).status;
}

TEST(ContactSheet, PlacesShrinksAndCaptionsPictures) {
    // -s 2: a (40 x 60 of 200) to 20 x 30, b (30 x 20, columns of 0 and 200)
    // to 15 x 10 of 100. Cells 20 x 30, caption lines of 9, gaps of 8.
    Picture a = blank_picture(40, 60);
    std::fill(a.rgb.begin(), a.rgb.end(), 200);
    ASSERT_TRUE(write_bmp(path("a.bmp"), a));
    Picture b = blank_picture(30, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) put(b, x, y, x % 2 ? Rgb{200, 200, 200} : Rgb{0, 0, 0});
    ASSERT_TRUE(write_ppm(path("b.ppm"), b));
    ASSERT_EQ(
        run("-o " + path("s.bmp") + " -c 2 -s 2 -t E " + path("a.bmp") + " " + path("b.ppm") + " " + path("a.bmp")), 0);
    std::uint8_t* raw = nullptr;
    std::int32_t w = 0, h = 0;
    ASSERT_EQ(readBMP_QW(&raw, &w, &h, path("s.bmp").c_str(), MORVA6_RGB, 1), MORVA6_IMG_OK);
    const auto at = [&](int x, int y) { return raw[(std::size_t(y) * w + x) * 3]; };
    EXPECT_EQ(w, 2 * 28 + 8);
    EXPECT_EQ(h, 2 * 47 + 8);
    EXPECT_EQ(at(8 + 19, 8 + 29), 200);  // a, bottom-right
    EXPECT_EQ(at(36 + 14, 8 + 9), 100);  // b, averaged
    EXPECT_EQ(at(36 + 15, 8 + 9), 255);  // beside the smaller b
    EXPECT_EQ(at(8, 55 + 29), 200);      // the second a, second row
    // Captions under the cells: "E" (its top bar), then the positions 2 and 3.
    EXPECT_EQ(at(8 + 4, 8 + 30 + 1), 0);
    EXPECT_EQ(at(8 + 5, 8 + 30 + 1), 255);  // the space after the glyph
    EXPECT_EQ(at(36 + 1, 8 + 30 + 1), 0);   // "2": its top bar
    EXPECT_EQ(at(8 + 0, 55 + 30 + 1), 0);   // "3": its top bar starts at the left
    std::free(raw);
    // The same sheet as PNG: signature and size in the header.
    ASSERT_EQ(run("-o " + path("s.png") + " -c 2 -s 2 " + path("a.bmp") + " " + path("b.ppm")), 0);
    std::ifstream png(path("s.png"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x37", 8));  // 64 x 55
}

TEST(ContactSheet, RefusesBadArgumentsAndUnreadablePicturesWithoutASheet) {
    ASSERT_TRUE(write_bmp(path("c.bmp"), blank_picture(4, 4)));
    std::ofstream(path("junk.ppm"), std::ios::binary) << "P6\n4 4\n255\nshort";
    const std::string sheet = path("none.png"), c = path("c.bmp");
    for (const auto& [arguments, status] : {std::pair{"-o " + sheet, 2},
                                            {c, 2},
                                            {"-o " + sheet + " -s 0 " + c, 2},
                                            {"-o " + sheet + " -x " + c, 2},
                                            {"-o " + path("s.gif") + " " + c, 2},
                                            {"-o " + sheet + " " + c + " " + path("absent.bmp"), 1},
                                            {"-o " + sheet + " " + path("junk.ppm"), 1},
                                            {"--help", 0}})
        EXPECT_EQ(run(arguments), status) << arguments;
    EXPECT_FALSE(fs::exists(sheet));
}

}  // namespace
}  // namespace sample_pictures
