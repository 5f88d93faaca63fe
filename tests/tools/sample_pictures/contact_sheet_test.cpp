// The contact sheet program: layout, shrinking, the position labels and its
// refusals, checked on tiny pictures.
#include <gtest/gtest.h>
#include <morva6/morva6_image.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/sample_pictures/picture.h"

namespace sample_pictures {
namespace {

namespace fs = std::filesystem;

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};

struct Sheet {
    std::unique_ptr<std::uint8_t, FreeDeleter> rgb;
    int width = 0;
    int height = 0;
    Rgb at(int x, int y) const {
        const std::uint8_t* p = rgb.get() + (static_cast<std::size_t>(y) * width + x) * 3;
        return {double(p[0]), double(p[1]), double(p[2])};
    }
};

class ContactSheet : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(TEST_BINARY_DIR) / ("contact_sheet_" + std::string(
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    int run(const std::string& arguments) const {
        const int status = std::system((std::string(CONTACT_SHEET_EXE) + " " + arguments + " 2>/dev/null >/dev/null").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Sheet read(const std::string& name) const {
        std::uint8_t* raw = nullptr;
        std::int32_t w = 0, h = 0;
        EXPECT_EQ(readBMP_QW(&raw, &w, &h, path(name).c_str(), MORVA6_RGB, 1), MORVA6_IMG_OK);
        return {std::unique_ptr<std::uint8_t, FreeDeleter>(raw), w, h};
    }

    fs::path dir;
};

Picture flat(int width, int height, Rgb colour) {
    Picture p = blank_picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) put(p, x, y, colour);
    return p;
}

TEST_F(ContactSheet, PlacesPicturesInOrderWithGapsAndNumbers) {
    // a and c carry a label (a 10 x 14 box for one digit); b is too small.
    ASSERT_TRUE(write_bmp(path("a.bmp"), flat(40, 60, {200, 10, 10})));
    ASSERT_TRUE(write_ppm(path("b.ppm"), flat(30, 20, {10, 200, 10})));
    ASSERT_TRUE(write_bmp(path("c.bmp"), flat(40, 60, {10, 10, 200})));
    ASSERT_EQ(run("-o " + path("sheet.bmp") + " -c 2 " + path("a.bmp") + " " + path("b.ppm") + " " + path("c.bmp")), 0);
    const Sheet sheet = read("sheet.bmp");
    // Two columns of 40 + 8, two rows of 60 + 8, and the outer gap of 8.
    ASSERT_EQ(sheet.width, 2 * 48 + 8);
    ASSERT_EQ(sheet.height, 2 * 68 + 8);
    EXPECT_EQ(sheet.at(8 + 39, 8 + 59).r, 200);            // a, bottom-right
    EXPECT_EQ(sheet.at(56 + 29, 8 + 19).g, 200);           // b, bottom-right
    EXPECT_EQ(sheet.at(56 + 30, 8 + 19).g, 255);           // beside the smaller b: background
    EXPECT_EQ(sheet.at(8 + 39, 76 + 59).b, 200);           // c, second row
    EXPECT_EQ(sheet.at(4, 4).r, 255);                      // gap
    // Labels: a black box in the corner with white digit pixels in it.
    EXPECT_EQ(sheet.at(8, 8).r, 0);
    EXPECT_EQ(sheet.at(8 + 4, 8 + 2).r, 255);              // the top of the "1"
    EXPECT_EQ(sheet.at(8 + 2, 8 + 2).r, 0);                // beside it
    EXPECT_EQ(sheet.at(8, 76).b, 0);                       // c's label
    EXPECT_EQ(sheet.at(8 + 2, 76 + 2).b, 255);             // the top bar of the "3"
    EXPECT_EQ(sheet.at(56, 8).g, 200);                     // b is too small for one
}

TEST_F(ContactSheet, ShrinkAveragesBlocksAndKeepsPartialOnes) {
    // A 5 x 2 picture, columns alternating 0 and 200: with -s 2 the sheet
    // cell is 3 x 1, the first two cells averages (100), the last the lone
    // column (0 at x = 4).
    Picture p = blank_picture(5, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) put(p, x, y, x % 2 == 0 ? Rgb{0, 0, 0} : Rgb{200, 200, 200});
    ASSERT_TRUE(write_bmp(path("p.bmp"), p));
    ASSERT_EQ(run("-o " + path("sheet.bmp") + " -s 2 " + path("p.bmp")), 0);
    const Sheet sheet = read("sheet.bmp");
    ASSERT_EQ(sheet.width, 3 + 16);
    ASSERT_EQ(sheet.height, 1 + 16);
    EXPECT_EQ(sheet.at(8, 8).r, 100);  // no label on so small a picture
    EXPECT_EQ(sheet.at(9, 8).r, 100);
    EXPECT_EQ(sheet.at(10, 8).r, 0);
}

TEST_F(ContactSheet, SmallPicturesCarryNoLabel) {
    ASSERT_TRUE(write_bmp(path("a.bmp"), flat(39, 55, {90, 90, 90})));  // box 10 wide: needs 40
    ASSERT_EQ(run("-o " + path("sheet.bmp") + " " + path("a.bmp")), 0);
    EXPECT_EQ(read("sheet.bmp").at(8, 8).r, 90);
}

TEST_F(ContactSheet, RefusesBadArgumentsAndUnreadablePicturesWithoutASheet) {
    ASSERT_TRUE(write_bmp(path("a.bmp"), flat(4, 4, {1, 2, 3})));
    const std::string sheet = path("sheet.bmp");
    EXPECT_EQ(run("-o " + sheet), 2);                                  // no pictures
    EXPECT_EQ(run(path("a.bmp")), 2);                                  // no output
    EXPECT_EQ(run("-o " + sheet + " -s 0 " + path("a.bmp")), 2);       // shrink out of range
    EXPECT_EQ(run("-o " + sheet + " -x " + path("a.bmp")), 2);         // unknown option
    EXPECT_EQ(run("-o " + path("sheet.png") + " " + path("a.bmp")), 2);
    EXPECT_EQ(run("-o " + sheet + " " + path("a.bmp") + " " + path("absent.bmp")), 1);
    std::FILE* junk = std::fopen(path("junk.ppm").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("P6\n4 4\n255\nshort", junk);
    std::fclose(junk);
    EXPECT_EQ(run("-o " + sheet + " " + path("junk.ppm")), 1);
    EXPECT_FALSE(fs::exists(sheet));
}

}  // namespace
}  // namespace sample_pictures
