#include <morva6/morva6_image.h>

#include <cstdlib>

#include "bmp_bytes.h"

namespace {

using bmp_bytes::Bytes;
using bmp_bytes::printed_by;

using Converter = int (*)(uint8_t*, const uint8_t*, int32_t, int32_t);

struct ConverterCase {
    const char* name;
    Converter convert;
    Bytes source;       // two pixels
    Bytes destination;  // what they become; 0xAA marks a byte left as it was
};

void PrintTo(const ConverterCase& converter, std::ostream* out) { *out << converter.name; }

class ConverterTest : public testing::TestWithParam<ConverterCase> {};

// Two pixels in a 2 x 1 picture, so a wrong stride shows in the second.
TEST_P(ConverterTest, ConvertsEachPixel) {
    const ConverterCase converter = GetParam();
    Bytes destination(converter.destination.size(), 0xAA);
    ASSERT_EQ(converter.convert(destination.data(), converter.source.data(), 2, 1), MORVA6_IMG_OK);
    EXPECT_EQ(destination, converter.destination);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ConverterTest,
    testing::Values(
        ConverterCase{"BGR_to_RGB", BGR_to_RGB, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        ConverterCase{"BGR_to_GRAY", BGR_to_GRAY, {255, 255, 254, 10, 20, 31}, {254, 20}},
        ConverterCase{"BGR_to_RGBA", BGR_to_RGBA, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 0xAA, 6, 5, 4, 0xAA}},
        ConverterCase{"BGR_to_BGRA", BGR_to_BGRA, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 0xAA, 4, 5, 6, 0xAA}},
        ConverterCase{"BGR_to_ARGB", BGR_to_ARGB, {1, 2, 3, 4, 5, 6}, {0, 3, 2, 1, 0, 6, 5, 4}},
        ConverterCase{"BGR_to_ABGR", BGR_to_ABGR, {1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 0, 4, 5, 6}},
        ConverterCase{"RGB_to_BGR", RGB_to_BGR, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
        ConverterCase{"RGBA_to_BGR", RGBA_to_BGR, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 7, 6, 5}},
        ConverterCase{"BGRA_to_BGR", BGRA_to_BGR, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 5, 6, 7}},
        ConverterCase{"GRAY_to_BGR", GRAY_to_BGR, {7, 200}, {7, 7, 7, 200, 200, 200}},
        ConverterCase{"GrayR_to_BGR", GrayR_to_BGR, {200, 9}, {0, 0, 200, 0, 0, 9}},
        ConverterCase{"GrayG_to_BGR", GrayG_to_BGR, {200, 9}, {0, 200, 0, 0, 9, 0}},
        ConverterCase{"GrayB_to_BGR", GrayB_to_BGR, {200, 9}, {200, 0, 0, 9, 0, 0}}),
    [](const testing::TestParamInfo<ConverterCase>& info) { return info.param.name; });

TEST(Converters, EmptyPicturesWriteNothing) {
    Bytes destination(4, 0xAA);
    const Bytes source(12, 1);
    for (const Converter convert : {BGR_to_RGB, BGR_to_ARGB, GRAY_to_BGR, BGR_to_GrayQM913TR5}) {
        EXPECT_EQ(convert(destination.data(), source.data(), 0, 3), MORVA6_IMG_OK);
        EXPECT_EQ(convert(destination.data(), source.data(), 3, 0), MORVA6_IMG_OK);
        EXPECT_EQ(convert(destination.data(), source.data(), -1, -1), MORVA6_IMG_OK);
        EXPECT_EQ(convert(nullptr, nullptr, 0, 0), MORVA6_IMG_OK);
    }
    EXPECT_EQ(destination, Bytes(4, 0xAA));
}

// ---- QM913TR5 grey ----

// A 12 x 2 picture of one colour, converted.
Bytes qm913tr5_of(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    Bytes source;
    for (int pixel = 0; pixel < 24; ++pixel) source.insert(source.end(), {blue, green, red});
    Bytes destination(24, 0xAA);
    EXPECT_EQ(BGR_to_GrayQM913TR5(destination.data(), source.data(), 12, 2), MORVA6_IMG_OK);
    return destination;
}

TEST(GrayQM913TR5, NeutralColoursKeepTheirValue) {
    EXPECT_EQ(qm913tr5_of(255, 255, 255), Bytes(24, 255));
    EXPECT_EQ(qm913tr5_of(100, 100, 100), Bytes(24, 100));
    EXPECT_EQ(qm913tr5_of(0, 0, 0), Bytes(24, 0));
}

// Row 0 selects k = 1,2,2,0,0,1,... (green, blue, blue, red, red, green ...),
// row 1 k = 0,0,1,1,2,2,...; blue 10, green 20, red 30 gives red 150 / 3 = 50,
// green 60 / 3 = 20, blue -30 / 3 -> 0.
TEST(GrayQM913TR5, ChannelFollowsThePhasePatternOnTwoRows) {
    EXPECT_EQ(qm913tr5_of(10, 20, 30), (Bytes{20, 0, 0, 50, 50, 20, 20, 0, 0, 50, 50, 20,
                                               50, 50, 20, 20, 0, 0, 50, 50, 20, 20, 0, 0}));
    EXPECT_EQ(qm913tr5_of(0, 0, 255), (Bytes{0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 255, 0,
                                              255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0}));
}

TEST(GrayQM913TR5, TruncatesAndClamps) {
    // Red kept: 7 x 100 - 2 x 1 = 698, / 3 = 232.67 -> 232.
    EXPECT_EQ(qm913tr5_of(0, 1, 100)[3], 232);
    // Red kept: 7 x 110 - 2 = 768 > 767 -> 255; green kept there: 7 - 220 < 0 -> 0.
    const Bytes bright = qm913tr5_of(0, 1, 110);
    EXPECT_EQ(bright[3], 255);
    EXPECT_EQ(bright[0], 0);
}

// ---- allocation ----

TEST(ImageInit, AllocatesAZeroFilledBlock) {
    std::uint8_t* image = nullptr;
    ASSERT_EQ(imageInit(&image, 3, 2, 4), MORVA6_IMG_OK);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Bytes(image, image + 24), Bytes(24, 0));
    std::free(image);

    ASSERT_EQ(imageInit(&image, 0, 0, 3), MORVA6_IMG_OK);
    EXPECT_NE(image, nullptr);  // an empty block, still the caller's
    std::free(image);
}

TEST(ImageInit, SizesOutsideSigned32BitFail) {
    struct Size {
        std::int32_t width, height, channels;
    };
    for (const Size size : {Size{40000, 40000, 4}, Size{-1, 5, 3}, Size{5, 5, -3},
                            Size{30000, 30000, 3}, Size{20000, 20000, 8}, Size{INT32_MAX, INT32_MAX, INT32_MAX}}) {
        std::uint8_t* image = reinterpret_cast<std::uint8_t*>(1);
        const std::string printed = printed_by([&] {
            EXPECT_EQ(imageInit(&image, size.width, size.height, size.channels), MORVA6_IMG_NO_MEMORY);
        });
        EXPECT_EQ(printed, "imageInit malloc Error!!\n");
        EXPECT_EQ(image, nullptr);
    }
}

// ---- agreement with the pixel streams ----

// Converting the BGR stream of a file gives the stream of the same file read
// in the other format.
TEST(Converters, AgreeWithTheStreamsOfAFile) {
    bmp_bytes::ScratchDir dir;
    const std::string path = dir.file("picture.bmp");
    bmp_bytes::write_file(path, build(bmp_bytes::BmpFile{.width = 3, .height = 2,
                                                          .pixels = bmp_bytes::counting(18, 200)}));
    const auto read = [&](std::int32_t format, std::size_t size) {
        std::uint8_t* stream = nullptr;
        std::int32_t width = 0, height = 0;
        EXPECT_EQ(readBMP_QW(&stream, &width, &height, path.c_str(), format, 0), MORVA6_IMG_OK);
        Bytes bytes(stream, stream + size);
        std::free(stream);
        return bytes;
    };
    const Bytes bgr = read(MORVA6_BGR, 18);
    struct Pair {
        std::int32_t format;
        std::size_t pixel_bytes;
        Converter convert;
    };
    for (const Pair pair : {Pair{MORVA6_GRAY, 1, BGR_to_GRAY}, Pair{MORVA6_RGB, 3, BGR_to_RGB},
                            Pair{MORVA6_RGBA, 4, BGR_to_RGBA}, Pair{MORVA6_BGRA, 4, BGR_to_BGRA},
                            Pair{MORVA6_ARGB, 4, BGR_to_ARGB}, Pair{MORVA6_ABGR, 4, BGR_to_ABGR}}) {
        Bytes converted(6 * pair.pixel_bytes, 0);
        ASSERT_EQ(pair.convert(converted.data(), bgr.data(), 3, 2), MORVA6_IMG_OK);
        EXPECT_EQ(converted, read(pair.format, 6 * pair.pixel_bytes)) << "format " << pair.format;
    }
}

}  // namespace
