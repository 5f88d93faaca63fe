#include <morva6/morva6_image.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "bmp_bytes.h"

namespace {

using bmp_bytes::BmpFile;
using bmp_bytes::Bytes;
using bmp_bytes::printed_by;

// The 2 x 2 picture of the tests, pixels given as blue, green, red: the file
// holds the bottom row P, Q first, then the top row S, T.
const Bytes kP = {1, 2, 3}, kQ = {4, 5, 6}, kS = {7, 8, 9}, kT = {10, 11, 12};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Swaps the two halves: the other row order of a two-row buffer.
Bytes rows_swapped(const Bytes& two_rows) {
    const auto half = static_cast<std::ptrdiff_t>(two_rows.size() / 2);
    return concat({Bytes(two_rows.begin() + half, two_rows.end()), Bytes(two_rows.begin(), two_rows.begin() + half)});
}

BmpFile pqst_file() { return BmpFile{.width = 2, .height = 2, .pixels = concat({kP, kQ, kS, kT})}; }

struct StreamDeleter {
    void operator()(std::uint8_t* block) const { std::free(block); }
};

// Result of readBMP_QW.
struct ReadStream {
    int status = -1;
    std::int32_t width = -1;
    std::int32_t height = -1;
    std::unique_ptr<std::uint8_t, StreamDeleter> stream;
    std::string printed;
    Bytes bytes(std::size_t size) const { return Bytes(stream.get(), stream.get() + size); }
};

class PixelStreamTest : public testing::Test {
protected:
    ReadStream read(const Bytes& file, std::int32_t format, std::uint8_t flip) {
        bmp_bytes::write_file(in_, file);
        return read_path(in_, format, flip);
    }

    static ReadStream read_path(const std::string& path, std::int32_t format, std::uint8_t flip) {
        ReadStream result;
        std::uint8_t* stream = reinterpret_cast<std::uint8_t*>(1);  // must be overwritten
        result.printed = printed_by([&] {
            result.status = readBMP_QW(&stream, &result.width, &result.height, path.c_str(), format, flip);
        });
        result.stream.reset(stream);
        return result;
    }

    // Saves a 2 x 2 stream; returns the status and keeps the output.
    int save(const Bytes& stream, std::int32_t format, std::uint8_t flip, std::string* printed = nullptr) {
        int status = -1;
        const std::string output = printed_by([&] { status = saveBMP_QW(stream.data(), 2, 2, out_.c_str(), format, flip); });
        if (printed != nullptr) *printed = output;
        return status;
    }

    // The pixel rows of the written file, padding removed (2 x 2, 24-bit).
    Bytes saved_pixels() const {
        const Bytes file = bmp_bytes::read_file(out_);
        if (file.size() != 70) return {};
        return concat({Bytes(file.begin() + 54, file.begin() + 60), Bytes(file.begin() + 62, file.begin() + 68)});
    }

    bmp_bytes::ScratchDir dir_;
    std::string in_ = dir_.file("in.bmp");
    std::string out_ = dir_.file("out.bmp");
};

// ---- reading into streams ----

struct MadeFormat {
    std::int32_t format;
    std::size_t pixel_bytes;
    Bytes top_first;  // the stream of S, T, P, Q
};

void PrintTo(const MadeFormat& made, std::ostream* out) { *out << "format " << made.format; }

class MadeFormatTest : public PixelStreamTest, public testing::WithParamInterface<MadeFormat> {};

TEST_P(MadeFormatTest, BothRowOrders) {
    const MadeFormat made = GetParam();
    const Bytes file = build(pqst_file());
    const ReadStream top_first = read(file, made.format, 1);
    ASSERT_EQ(top_first.status, MORVA6_IMG_OK);
    EXPECT_EQ(top_first.width, 2);
    EXPECT_EQ(top_first.height, 2);
    EXPECT_EQ(top_first.bytes(4 * made.pixel_bytes), made.top_first);
    EXPECT_EQ(top_first.printed, "");

    const ReadStream file_order = read(file, made.format, 0);
    ASSERT_EQ(file_order.status, MORVA6_IMG_OK);
    EXPECT_EQ(file_order.bytes(4 * made.pixel_bytes), rows_swapped(made.top_first));
}

// The fourth byte of RGBA and BGRA streams is not set by the conversion and
// reads zero in a new stream.
INSTANTIATE_TEST_SUITE_P(
    Formats, MadeFormatTest,
    testing::Values(MadeFormat{MORVA6_GRAY, 1, {8, 11, 2, 5}},
                    MadeFormat{MORVA6_RGB, 3, {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4}},
                    MadeFormat{MORVA6_BGR, 3, {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
                    MadeFormat{MORVA6_RGBA, 4, {9, 8, 7, 0, 12, 11, 10, 0, 3, 2, 1, 0, 6, 5, 4, 0}},
                    MadeFormat{MORVA6_BGRA, 4, {7, 8, 9, 0, 10, 11, 12, 0, 1, 2, 3, 0, 4, 5, 6, 0}},
                    MadeFormat{MORVA6_ARGB, 4, {0, 9, 8, 7, 0, 12, 11, 10, 0, 3, 2, 1, 0, 6, 5, 4}},
                    MadeFormat{MORVA6_ABGR, 4, {0, 7, 8, 9, 0, 10, 11, 12, 0, 1, 2, 3, 0, 4, 5, 6}}));

TEST_F(PixelStreamTest, GreyDropsTheRemainder) {
    const ReadStream grey = read(build(BmpFile{.width = 3, .height = 1,
                                               .pixels = {10, 20, 31, 255, 255, 255, 255, 255, 254}}),
                                 MORVA6_GRAY, 1);
    ASSERT_EQ(grey.status, MORVA6_IMG_OK);
    EXPECT_EQ(grey.bytes(3), (Bytes{20, 255, 254}));
}

TEST_F(PixelStreamTest, ThirtyTwoBitFileDropsTheFourthByte) {
    const Bytes file = build(BmpFile{.width = 2, .height = 1, .bit_count = 32,
                                     .pixels = {1, 2, 3, 4, 5, 6, 7, 8}});
    EXPECT_EQ(read(file, MORVA6_BGR, 1).bytes(6), (Bytes{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(read(file, MORVA6_BGRA, 1).bytes(8), (Bytes{1, 2, 3, 0, 5, 6, 7, 0}));
}

TEST_F(PixelStreamTest, EightBitFileGoesThroughItsColourTable) {
    BmpFile file{.width = 3, .height = 2, .bit_count = 8, .pixels = {7, 0, 7, 1, 7, 2}};
    file.palette = Bytes(1024, 0);
    const Bytes entries = {50, 51, 52, 0, 60, 61, 62, 0, 70, 71, 72, 0};
    std::copy(entries.begin(), entries.end(), file.palette.begin());
    file.palette[28] = 9;  // entry 7: blue 9, green 8, red 7
    file.palette[29] = 8;
    file.palette[30] = 7;
    const ReadStream top_first = read(build(file), MORVA6_BGR, 1);
    ASSERT_EQ(top_first.status, MORVA6_IMG_OK);
    EXPECT_EQ(top_first.bytes(18), (Bytes{60, 61, 62, 9, 8, 7, 70, 71, 72, 9, 8, 7, 50, 51, 52, 9, 8, 7}));
}

TEST_F(PixelStreamTest, TopDownFileReadsTheRightWayUp) {
    const BmpFile top_down{.width = 2, .height = -2, .pixels = concat({kS, kT, kP, kQ})};
    const ReadStream stream = read(build(top_down), MORVA6_BGR, 1);
    ASSERT_EQ(stream.status, MORVA6_IMG_OK);
    EXPECT_EQ(stream.height, 2);
    EXPECT_EQ(stream.bytes(12), concat({kS, kT, kP, kQ}));
}

TEST_F(PixelStreamTest, EmptyPictureGivesAnEmptyStream) {
    const ReadStream empty = read(build(BmpFile{.width = 0, .height = 3}), MORVA6_BGR, 1);
    EXPECT_EQ(empty.status, MORVA6_IMG_OK);
    EXPECT_NE(empty.stream, nullptr);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 3);
}

TEST_F(PixelStreamTest, UnsupportedFormatStillReportsTheSize) {
    for (const std::int32_t format : {std::int32_t{MORVA6_GRAY_R}, 10, -1}) {
        const ReadStream refused = read(build(pqst_file()), format, 1);
        EXPECT_EQ(refused.status, MORVA6_IMG_BAD_FORMAT) << format;
        EXPECT_EQ(refused.printed, "UNIMPLEMENTED!!");
        EXPECT_EQ(refused.stream, nullptr);
        EXPECT_EQ(refused.width, 2);
        EXPECT_EQ(refused.height, 2);
    }
}

// A file that cannot be read gives the read's status and no stream.
TEST_F(PixelStreamTest, FailedReadsDeliverNoStream) {
    const ReadStream missing = read_path(dir_.file("missing.bmp"), MORVA6_BGR, 1);
    EXPECT_EQ(missing.status, MORVA6_IMG_OPEN_FAILED);
    EXPECT_EQ(missing.printed, "Error opening file!\n");

    BmpFile sixteen_bit{.width = 2, .height = 2, .bit_count = 16, .pixels = Bytes(8, 1)};
    const ReadStream unsupported = read(build(sixteen_bit), MORVA6_BGR, 1);
    EXPECT_EQ(unsupported.status, MORVA6_IMG_BAD_BIT_COUNT);

    Bytes not_bmp = build(pqst_file());
    not_bmp[0] = 'P';
    const ReadStream foreign = read(not_bmp, MORVA6_BGR, 1);
    EXPECT_EQ(foreign.status, MORVA6_IMG_NOT_BMP);

    for (const ReadStream* failed : {&missing, &unsupported, &foreign}) {
        EXPECT_EQ(failed->stream, nullptr);
        EXPECT_EQ(failed->width, 0);
        EXPECT_EQ(failed->height, 0);
    }
}

// ---- writing streams ----

struct TakenFormat {
    std::int32_t format;
    Bytes stream;  // four pixels
    Bytes bgr;     // what they become
};

void PrintTo(const TakenFormat& taken, std::ostream* out) { *out << "format " << taken.format; }

class TakenFormatTest : public PixelStreamTest, public testing::WithParamInterface<TakenFormat> {};

// With flip 1 the first stream row is the top row, stored last in the file.
TEST_P(TakenFormatTest, BothRowOrders) {
    const TakenFormat taken = GetParam();
    ASSERT_EQ(save(taken.stream, taken.format, 0), MORVA6_IMG_OK);
    EXPECT_EQ(saved_pixels(), taken.bgr);
    ASSERT_EQ(save(taken.stream, taken.format, 1), MORVA6_IMG_OK);
    EXPECT_EQ(saved_pixels(), rows_swapped(taken.bgr));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TakenFormatTest,
    testing::Values(
        TakenFormat{MORVA6_GRAY, {10, 20, 30, 40}, {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40}},
        TakenFormat{MORVA6_RGB, {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}, concat({kP, kQ, kS, kT})},
        TakenFormat{MORVA6_BGR, concat({kP, kQ, kS, kT}), concat({kP, kQ, kS, kT})},
        TakenFormat{MORVA6_RGBA, {3, 2, 1, 99, 6, 5, 4, 99, 9, 8, 7, 99, 12, 11, 10, 99},
                    concat({kP, kQ, kS, kT})},
        TakenFormat{MORVA6_BGRA, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99},
                    concat({kP, kQ, kS, kT})},
        TakenFormat{MORVA6_GRAY_R, {10, 20, 30, 40}, {0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0, 40}},
        TakenFormat{MORVA6_GRAY_G, {10, 20, 30, 40}, {0, 10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0}},
        TakenFormat{MORVA6_GRAY_B, {10, 20, 30, 40}, {10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0}}));

TEST_F(PixelStreamTest, UnsupportedFormatWritesABlackPicture) {
    const Bytes stream(16, 200);
    for (const std::int32_t format : {std::int32_t{MORVA6_ARGB}, std::int32_t{MORVA6_ABGR}, 10, -3}) {
        std::string printed;
        EXPECT_EQ(save(stream, format, 1, &printed), MORVA6_IMG_OK) << format;
        EXPECT_EQ(printed, "unfinished!!");
        EXPECT_EQ(saved_pixels(), Bytes(12, 0));
    }
}

// Read with (F, 1) and written with (F, 1): the same rows in the same places.
TEST_F(PixelStreamTest, ReadAndWriteWithTheSameSettingsKeepThePicture) {
    const BmpFile file{.width = 3, .height = 3, .pixels = bmp_bytes::counting(27)};
    for (const std::int32_t format : {MORVA6_RGB, MORVA6_BGR, MORVA6_RGBA, MORVA6_BGRA}) {
        for (const std::uint8_t flip : {0, 1}) {
            const ReadStream stream = read(build(file), format, flip);
            ASSERT_EQ(stream.status, MORVA6_IMG_OK);
            ASSERT_EQ(saveBMP_QW(stream.stream.get(), 3, 3, out_.c_str(), format, flip), MORVA6_IMG_OK);
            const Bytes written = bmp_bytes::read_file(out_);
            const Bytes original = build(file);
            ASSERT_EQ(written.size(), original.size());
            for (std::size_t row = 0; row < 3; ++row) {
                const auto start = static_cast<std::ptrdiff_t>(54 + row * 12);
                EXPECT_EQ(Bytes(written.begin() + start, written.begin() + start + 9),
                          Bytes(original.begin() + start, original.begin() + start + 9))
                    << "format " << format << " flip " << int{flip} << " row " << row;
            }
        }
    }
}

TEST_F(PixelStreamTest, EmptyStreamGivesAHeaderOnlyFile) {
    ASSERT_EQ(saveBMP_QW(nullptr, 0, 5, out_.c_str(), MORVA6_BGR, 1), MORVA6_IMG_OK);
    EXPECT_EQ(bmp_bytes::read_file(out_).size(), 54u);
}

TEST_F(PixelStreamTest, SaveFailuresAreReported) {
    const Bytes stream(12, 1);
    std::string printed = printed_by([&] {
        EXPECT_EQ(saveBMP_QW(stream.data(), 2, 2, dir_.file("none/x.bmp").c_str(), MORVA6_BGR, 1),
                  MORVA6_IMG_OPEN_FAILED);
    });
    EXPECT_EQ(printed, "Error opening file!\n");

    if (access("/dev/full", W_OK) == 0) {
        printed = printed_by([&] {
            EXPECT_EQ(saveBMP_QW(stream.data(), 2, 2, "/dev/full", MORVA6_BGR, 1), MORVA6_IMG_WRITE_FAILED);
        });
        EXPECT_EQ(printed, "Error writing file!\n");
    }

    printed = printed_by([&] {
        EXPECT_EQ(saveBMP_QW(stream.data(), -2, 2, out_.c_str(), MORVA6_BGR, 1), MORVA6_IMG_TOO_LARGE);
        EXPECT_EQ(saveBMP_QW(stream.data(), 50000, 50000, out_.c_str(), MORVA6_BGR, 1), MORVA6_IMG_TOO_LARGE);
    });
    EXPECT_EQ(printed, "BMP picture size is out of range!\nBMP picture size is out of range!\n");
    EXPECT_EQ(saveBMP_QW(nullptr, 2, 2, out_.c_str(), MORVA6_BGR, 1), MORVA6_IMG_BAD_ARGUMENT);
    EXPECT_TRUE(dir_.entries().empty());
}

// ---- record conversions ----

TEST_F(PixelStreamTest, RecordConversionsRefuseUnsupportedFormats) {
    BMP bmp = new_BMP();
    BMP_init(&bmp, 1, 1);
    bmp.data[0] = 5;
    Bytes stream(4, 0xAA);
    std::string printed = printed_by([&] {
        EXPECT_EQ(BMP_to_Stream(stream.data(), &bmp, MORVA6_GRAY_R), MORVA6_IMG_OK);
    });
    EXPECT_EQ(printed, "UNIMPLEMENTED!!");
    EXPECT_EQ(stream, Bytes(4, 0xAA));

    printed = printed_by([&] {
        EXPECT_EQ(Stream_to_BMP(&bmp, stream.data(), MORVA6_ARGB), MORVA6_IMG_BAD_FORMAT);
        EXPECT_EQ(Stream_to_BMP(&bmp, stream.data(), 10), MORVA6_IMG_BAD_FORMAT);
    });
    EXPECT_EQ(printed, "unfinished!!unfinished!!");
    EXPECT_EQ(bmp.data[0], 5);
    BMP_release(&bmp);
}

// A record whose read failed has a size but no pixels: nothing is converted.
TEST_F(PixelStreamTest, RecordWithoutPixelsIsNotConverted) {
    BMP bmp = new_BMP();
    bmp.biWidth = 2;
    bmp.biHeight = 2;
    bmp.biBitCount = 24;
    Bytes stream(12, 0xAA);
    EXPECT_NE(BMP_to_Stream(stream.data(), &bmp, MORVA6_BGR), MORVA6_IMG_OK);
    EXPECT_NE(Stream_to_BMP(&bmp, stream.data(), MORVA6_BGR), MORVA6_IMG_OK);
    bmp.biBitCount = 16;
    EXPECT_NE(BMP_to_Stream(stream.data(), &bmp, MORVA6_BGR), MORVA6_IMG_OK);
    EXPECT_EQ(stream, Bytes(12, 0xAA));
}

}  // namespace
