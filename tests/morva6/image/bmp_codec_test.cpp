#include <morva6/morva6_image.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "bmp_bytes.h"

namespace {

using bmp_bytes::BmpFile;
using bmp_bytes::Bytes;
using bmp_bytes::printed_by;

// A record that releases its blocks at the end of the test.
struct Record {
    BMP bmp = new_BMP();
    Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    ~Record() { BMP_release(&bmp); }
    Bytes data(std::size_t size) const { return Bytes(bmp.data, bmp.data + size); }
};

bool all_zero(const BMP& bmp) {
    BMP zero = new_BMP();
    return std::memcmp(&bmp, &zero, sizeof(BMP)) == 0;
}

class BmpCodecTest : public testing::Test {
protected:
    // Writes the bytes to a file and reads it into `record`.
    int read(const Bytes& bytes, Record& record, std::string* printed = nullptr) {
        bmp_bytes::write_file(path_, bytes);
        int status = -1;
        const std::string output = printed_by([&] { status = BMP_read(&record.bmp, path_.c_str()); });
        if (printed != nullptr) *printed = output;
        return status;
    }

    bmp_bytes::ScratchDir dir_;
    std::string path_ = dir_.file("in.bmp");
};

// ---- reading ----

struct LayoutCase {
    std::uint16_t bit_count;
    std::int32_t width;
};

void PrintTo(const LayoutCase& layout, std::ostream* out) {
    *out << layout.bit_count << "-bit, width " << layout.width;
}

class BmpRowLayoutTest : public BmpCodecTest, public testing::WithParamInterface<LayoutCase> {};

// Rows are packed in memory whatever padding the file has, and a 3-row
// picture stays bottom row first.
TEST_P(BmpRowLayoutTest, SkipsRowPaddingAndKeepsFileRowOrder) {
    const LayoutCase layout = GetParam();
    const std::size_t size = static_cast<std::size_t>(layout.width) * (layout.bit_count / 8) * 3;
    BmpFile file{.width = layout.width, .height = 3, .bit_count = layout.bit_count};
    file.pixels = bmp_bytes::counting(size);
    if (layout.bit_count == 8) file.palette = bmp_bytes::ramp_palette(256);
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    EXPECT_EQ(record.bmp.biWidth, layout.width);
    EXPECT_EQ(record.bmp.biHeight, 3);
    EXPECT_EQ(record.data(size), file.pixels);
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpRowLayoutTest,
                         testing::Values(LayoutCase{24, 1}, LayoutCase{24, 2}, LayoutCase{24, 3},
                                         LayoutCase{24, 4}, LayoutCase{24, 5}, LayoutCase{8, 1},
                                         LayoutCase{8, 2}, LayoutCase{8, 3}, LayoutCase{8, 5},
                                         LayoutCase{32, 1}, LayoutCase{32, 3}));

TEST_F(BmpCodecTest, EightBitFileWithFullTable) {
    BmpFile file{.width = 2, .height = 1, .bit_count = 8, .clr_used = 0};
    file.palette = bmp_bytes::ramp_palette(256);
    file.pixels = {7, 255};
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    ASSERT_NE(record.bmp.palette, nullptr);
    EXPECT_EQ(Bytes(record.bmp.palette, record.bmp.palette + 1024), file.palette);
    EXPECT_EQ(record.data(2), (Bytes{7, 255}));
}

// A short table: only biClrUsed entries are in the file, the pixel data
// follow them directly, and the other entries are zero.
TEST_F(BmpCodecTest, EightBitFileWithTwoColourTable) {
    BmpFile file{.width = 3, .height = 1, .bit_count = 8, .clr_used = 2};
    file.palette = {10, 20, 30, 0, 40, 50, 60, 0};
    file.pixels = {1, 0, 1};
    const Bytes bytes = build(file);
    ASSERT_EQ(bytes.size(), 54u + 8u + 4u);
    Record record;
    ASSERT_EQ(read(bytes, record), MORVA6_IMG_OK);
    Bytes expected_table(1024, 0);
    std::copy(file.palette.begin(), file.palette.end(), expected_table.begin());
    EXPECT_EQ(Bytes(record.bmp.palette, record.bmp.palette + 1024), expected_table);
    EXPECT_EQ(record.data(3), (Bytes{1, 0, 1}));
}

struct HeaderSizeCase {
    std::uint32_t header_size;
    std::uint16_t bit_count;
};

void PrintTo(const HeaderSizeCase& header, std::ostream* out) {
    *out << header.header_size << "-byte header, " << header.bit_count << "-bit";
}

class BmpHeaderSizeTest : public BmpCodecTest, public testing::WithParamInterface<HeaderSizeCase> {};

// Longer information headers move the colour table and the pixel data.
TEST_P(BmpHeaderSizeTest, TableAndPixelsFollowTheHeader) {
    const HeaderSizeCase param = GetParam();
    BmpFile file{.width = 2, .height = 2, .bit_count = param.bit_count,
                 .header_size = param.header_size};
    file.pixels = bmp_bytes::counting(4 * (param.bit_count / 8), 100);
    if (param.bit_count == 8) {
        file.clr_used = 3;
        file.palette = bmp_bytes::ramp_palette(3);
    }
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    EXPECT_EQ(record.bmp.bfOffBits, 14 + param.header_size + file.palette.size());
    EXPECT_EQ(record.data(file.pixels.size()), file.pixels);
    if (param.bit_count == 8) {
        EXPECT_EQ(Bytes(record.bmp.palette, record.bmp.palette + 12), file.palette);
    }
}

INSTANTIATE_TEST_SUITE_P(Headers, BmpHeaderSizeTest,
                         testing::Values(HeaderSizeCase{108, 24}, HeaderSizeCase{124, 24},
                                         HeaderSizeCase{124, 32}, HeaderSizeCase{108, 8},
                                         HeaderSizeCase{124, 8}));

TEST_F(BmpCodecTest, PixelDataStartAtTheirOffset) {
    BmpFile file{.width = 1, .height = 2, .off_bits = 80};
    file.pixels = {1, 2, 3, 4, 5, 6};
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    EXPECT_EQ(record.data(6), file.pixels);
}

// A top-down file is held like any other: bottom row first, positive height.
TEST_F(BmpCodecTest, TopDownFileIsStoredBottomRowFirst) {
    BmpFile file{.width = 2, .height = -3};
    file.pixels = bmp_bytes::counting(18);  // top row 1..6, then 7..12, then 13..18
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    EXPECT_EQ(record.bmp.biHeight, 3);
    Bytes bottom_first(file.pixels.begin() + 12, file.pixels.end());
    bottom_first.insert(bottom_first.end(), file.pixels.begin() + 6, file.pixels.begin() + 12);
    bottom_first.insert(bottom_first.end(), file.pixels.begin(), file.pixels.begin() + 6);
    EXPECT_EQ(record.data(18), bottom_first);
}

TEST_F(BmpCodecTest, ThirtyTwoBitBitFieldsWithPlainMasksAreRead) {
    BmpFile file{.width = 2, .height = 1, .bit_count = 32, .compression = 3};
    bmp_bytes::put32(file.extra, 0x00FF0000);
    bmp_bytes::put32(file.extra, 0x0000FF00);
    bmp_bytes::put32(file.extra, 0x000000FF);
    file.pixels = bmp_bytes::counting(8);
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    EXPECT_EQ(record.data(8), file.pixels);
    EXPECT_EQ(record.bmp.biCompression, 0u);  // the record holds plain pixels
}

TEST_F(BmpCodecTest, EmptyPicturesAreRead) {
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 7}, std::pair{5, 0}}) {
        Record record;
        ASSERT_EQ(read(build(BmpFile{.width = width, .height = height}), record), MORVA6_IMG_OK)
            << width << "x" << height;
        EXPECT_EQ(record.bmp.biWidth, width);
        EXPECT_EQ(record.bmp.biHeight, height);
        EXPECT_NE(record.bmp.data, nullptr);
    }
}

// Whatever the file does not hold reads as zero.
TEST_F(BmpCodecTest, MissingPixelBytesAreZero) {
    BmpFile file{.width = 2, .height = 2};
    file.pixels = bmp_bytes::counting(12);
    const Bytes whole = build(file);  // rows of 6 bytes + 2 padding from byte 54
    struct Cut {
        std::size_t size;
        std::size_t kept;  // pixel bytes still in the file
    };
    for (const Cut cut : {Cut{54, 0}, Cut{57, 3}, Cut{62, 6}, Cut{63, 7}, Cut{67, 11}}) {
        Record record;
        ASSERT_EQ(read(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut.size)), record),
                  MORVA6_IMG_OK)
            << cut.size;
        Bytes expected(12, 0);
        std::copy(file.pixels.begin(), file.pixels.begin() + static_cast<long>(cut.kept), expected.begin());
        EXPECT_EQ(record.data(12), expected) << cut.size;
    }
}

TEST_F(BmpCodecTest, OffsetBeyondTheFileGivesBlackPixels) {
    BmpFile file{.width = 2, .height = 1};
    file.pixels = bmp_bytes::counting(6);
    Bytes bytes = build(file);
    bytes[12] = 0x01;  // bfOffBits 54 + 65536: far past the end
    Record record;
    ASSERT_EQ(read(bytes, record), MORVA6_IMG_OK);
    EXPECT_EQ(record.data(6), Bytes(6, 0));
}

TEST_F(BmpCodecTest, TruncatedColourTableEntriesAreZero) {
    BmpFile file{.width = 1, .height = 1, .bit_count = 8};
    file.palette = bmp_bytes::ramp_palette(256);
    Bytes bytes = build(file);
    bytes.resize(54 + 10);  // two and a half entries, no pixels
    Record record;
    ASSERT_EQ(read(bytes, record), MORVA6_IMG_OK);
    Bytes expected(1024, 0);
    std::copy(file.palette.begin(), file.palette.begin() + 10, expected.begin());
    EXPECT_EQ(Bytes(record.bmp.palette, record.bmp.palette + 1024), expected);
}

// ---- refusals ----

struct RefusalCase {
    const char* name;
    Bytes bytes;
    int status;
    const char* printed;
};

Bytes with_field(Bytes bytes, std::size_t offset, std::uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

std::vector<RefusalCase> refusal_cases() {
    BmpFile plain{.width = 2, .height = 2};
    plain.pixels = bmp_bytes::counting(12);
    const Bytes good = build(plain);
    const char* bad_header = "BMP header is damaged or truncated!\n";
    const char* bad_bits = "Color Palette is not suported!!\n";
    const char* bad_compression = "BMP compression is not supported!\n";
    const char* too_large = "BMP picture size is out of range!\n";
    BmpFile odd_masks{.width = 1, .height = 1, .bit_count = 32, .compression = 3};
    odd_masks.extra = Bytes(12, 0);
    odd_masks.extra[2] = 0xFF;  // red mask 0x00FF0000 ...
    odd_masks.extra[4] = 0xFF;  // ... green mask 0x000000FF: swapped
    odd_masks.extra[9] = 0xFF;
    odd_masks.pixels = Bytes(4, 1);
    BmpFile rle{.width = 2, .height = 1, .bit_count = 8, .compression = 1};
    rle.palette = bmp_bytes::ramp_palette(256);
    rle.pixels = {2, 5};
    const Bytes long_header = build(BmpFile{.header_size = 124});
    Bytes garbage(300);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return {
        {"Empty", {}, MORVA6_IMG_BAD_HEADER, bad_header},
        {"OneByte", {'B'}, MORVA6_IMG_BAD_HEADER, bad_header},
        {"CutInFileHeader", Bytes(good.begin(), good.begin() + 10), MORVA6_IMG_BAD_HEADER, bad_header},
        {"CutInInfoHeader", Bytes(good.begin(), good.begin() + 40), MORVA6_IMG_BAD_HEADER, bad_header},
        {"CutInLongHeader", Bytes(long_header.begin(), long_header.begin() + 100),
         MORVA6_IMG_BAD_HEADER, bad_header},
        {"CoreHeader", with_field(good, 14, 12), MORVA6_IMG_BAD_HEADER, bad_header},
        {"OffsetInsideHeader", with_field(good, 10, 20), MORVA6_IMG_BAD_HEADER, bad_header},
        {"WrongSignature", with_field(good, 0, 0x424D, 2), MORVA6_IMG_NOT_BMP, "Not a BMP file!\n"},
        {"Garbage", garbage, MORVA6_IMG_NOT_BMP, "Not a BMP file!\n"},
        {"SixteenBit", with_field(good, 28, 16, 2), MORVA6_IMG_BAD_BIT_COUNT, bad_bits},
        {"FourBit", with_field(good, 28, 4, 2), MORVA6_IMG_BAD_BIT_COUNT, bad_bits},
        {"OneBit", with_field(good, 28, 1, 2), MORVA6_IMG_BAD_BIT_COUNT, bad_bits},
        {"Rle8", build(rle), MORVA6_IMG_BAD_COMPRESSION, bad_compression},
        {"BitFieldsOn24Bit", with_field(good, 30, 3), MORVA6_IMG_BAD_COMPRESSION, bad_compression},
        {"BitFieldsOtherMasks", build(odd_masks), MORVA6_IMG_BAD_COMPRESSION, bad_compression},
        {"HugeSizes", with_field(with_field(good, 18, 100000), 22, 100000), MORVA6_IMG_TOO_LARGE, too_large},
        {"WidthTimesFourOverflows", with_field(with_field(good, 18, 0x20000000), 22, 1),
         MORVA6_IMG_TOO_LARGE, too_large},
        {"NegativeWidth", with_field(good, 18, static_cast<std::uint32_t>(-2)), MORVA6_IMG_TOO_LARGE, too_large},
        {"MostNegativeHeight", with_field(good, 22, 0x80000000u), MORVA6_IMG_TOO_LARGE, too_large},
        {"HugeTopDown", with_field(with_field(good, 18, 70000), 22, static_cast<std::uint32_t>(-70000)),
         MORVA6_IMG_TOO_LARGE, too_large},
    };
}

void PrintTo(const RefusalCase& refusal, std::ostream* out) { *out << refusal.name; }

class BmpRefusalTest : public BmpCodecTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(BmpRefusalTest, RefusesWithOneLineAndNoPixels) {
    Record record;
    std::string printed;
    EXPECT_EQ(read(GetParam().bytes, record, &printed), GetParam().status);
    EXPECT_EQ(printed, GetParam().printed);
    EXPECT_EQ(record.bmp.data, nullptr);
    EXPECT_EQ(record.bmp.palette, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, BmpRefusalTest, testing::ValuesIn(refusal_cases()),
                         [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST_F(BmpCodecTest, UnsupportedBitCountKeepsTheHeaderFields) {
    Record record;
    BmpFile file{.width = 4, .height = 3, .bit_count = 16};
    file.pixels = Bytes(24, 0);
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_BAD_BIT_COUNT);
    EXPECT_EQ(record.bmp.biWidth, 4);
    EXPECT_EQ(record.bmp.biHeight, 3);
    EXPECT_EQ(record.bmp.biBitCount, 16);
}

TEST_F(BmpCodecTest, MissingOrUnreadableFile) {
    Record record;
    const std::string missing = dir_.file("missing.bmp");
    std::string printed = printed_by([&] {
        EXPECT_EQ(BMP_read(&record.bmp, missing.c_str()), MORVA6_IMG_OPEN_FAILED);
    });
    EXPECT_EQ(printed, "Error opening file!\n");
    EXPECT_TRUE(all_zero(record.bmp));

    const std::string directory = dir_.file("");
    printed = printed_by([&] { EXPECT_NE(BMP_read(&record.bmp, directory.c_str()), MORVA6_IMG_OK); });
    EXPECT_EQ(record.bmp.data, nullptr);
}

// ---- BMP_init and writing ----

TEST_F(BmpCodecTest, InitDescribesAnEmptyBlackPicture) {
    Record record;
    BMP_init(&record.bmp, 2, 2);
    EXPECT_EQ(record.bmp.biSizeImage, 16u);
    EXPECT_EQ(record.bmp.bfSize, 70u);
    EXPECT_EQ(record.bmp.bfOffBits, 54u);
    EXPECT_EQ(record.bmp.biBitCount, 24);
    EXPECT_EQ(record.bmp.palette, nullptr);
    EXPECT_EQ(record.data(12), Bytes(12, 0));

    Record empty;
    BMP_init(&empty.bmp, 0, 0);
    EXPECT_EQ(empty.bmp.biSizeImage, 0u);
    EXPECT_EQ(empty.bmp.bfSize, 54u);

    for (const auto& [width, height] : {std::pair{-1, 5}, std::pair{INT32_MAX, INT32_MAX},
                                        std::pair{INT32_MIN, INT32_MAX}}) {
        Record refused;
        BMP_init(&refused.bmp, width, height);
        EXPECT_EQ(refused.bmp.data, nullptr);
    }
}

TEST_F(BmpCodecTest, SavesHeaderAndPaddedRows) {
    Record record;
    BMP_init(&record.bmp, 2, 2);
    for (int i = 0; i < 12; ++i) record.bmp.data[i] = static_cast<std::uint8_t>(i + 1);
    ASSERT_EQ(BMP_save(&record.bmp, path_.c_str()), MORVA6_IMG_OK);
    const Bytes file = bmp_bytes::read_file(path_);
    Bytes expected = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                      2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0};
    expected.resize(54, 0);
    for (const Bytes& row : {Bytes{1, 2, 3, 4, 5, 6, 0, 0}, Bytes{7, 8, 9, 10, 11, 12, 0, 0}}) {
        expected.insert(expected.end(), row.begin(), row.end());
    }
    EXPECT_EQ(file, expected);

    Record empty;
    BMP_init(&empty.bmp, 0, 0);
    ASSERT_EQ(BMP_save(&empty.bmp, path_.c_str()), MORVA6_IMG_OK);
    EXPECT_EQ(bmp_bytes::read_file(path_).size(), 54u);
}

TEST_F(BmpCodecTest, ThirtyTwoBitRecordRoundTrips) {
    BmpFile file{.width = 3, .height = 2, .bit_count = 32};
    file.pixels = bmp_bytes::counting(24);
    Record record;
    ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
    const std::string copy = dir_.file("copy.bmp");
    ASSERT_EQ(BMP_save(&record.bmp, copy.c_str()), MORVA6_IMG_OK);
    EXPECT_EQ(bmp_bytes::read_file(copy), build(BmpFile{.width = 3, .height = 2, .bit_count = 32,
                                                         .pixels = file.pixels, .pad_byte = 0}));
}

// A record read from a file with a longer header, or an 8-bit one, is saved
// as a consistent file: the header says where the pixels really are.
TEST_F(BmpCodecTest, SavedFileDescribesItsOwnLayout) {
    for (const std::uint16_t bit_count : {std::uint16_t{24}, std::uint16_t{8}}) {
        BmpFile file{.width = 3, .height = 2, .bit_count = bit_count, .header_size = 124};
        file.pixels = bmp_bytes::counting(6 * (bit_count / 8));
        if (bit_count == 8) {
            file.clr_used = 7;
            file.palette = bmp_bytes::ramp_palette(7);
        }
        Record record;
        ASSERT_EQ(read(build(file), record), MORVA6_IMG_OK);
        const std::string copy = dir_.file("copy.bmp");
        ASSERT_EQ(BMP_save(&record.bmp, copy.c_str()), MORVA6_IMG_OK);

        BmpFile expected{.width = 3, .height = 2, .bit_count = bit_count, .pixels = file.pixels,
                         .pad_byte = 0};
        if (bit_count == 8) {
            expected.clr_used = 7;
            expected.palette = Bytes(record.bmp.palette, record.bmp.palette + 1024);
        }
        EXPECT_EQ(bmp_bytes::read_file(copy), build(expected)) << bit_count << "-bit";
    }
}

TEST_F(BmpCodecTest, SaveReportsFilesThatCannotBeOpened) {
    Record record;
    BMP_init(&record.bmp, 1, 1);
    for (const std::string& path : {dir_.file("no/such/dir.bmp"), dir_.file("")}) {
        const std::string printed = printed_by([&] {
            EXPECT_EQ(BMP_save(&record.bmp, path.c_str()), MORVA6_IMG_OPEN_FAILED) << path;
        });
        EXPECT_EQ(printed, "Error opening file!\n");
    }
}

TEST_F(BmpCodecTest, SaveReportsAFullDisk) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    Record record;
    BMP_init(&record.bmp, 64, 64);
    const std::string printed = printed_by([&] {
        EXPECT_EQ(BMP_save(&record.bmp, "/dev/full"), MORVA6_IMG_WRITE_FAILED);
    });
    EXPECT_EQ(printed, "Error writing file!\n");
}

// The write fails part way (the file-size limit stands in for a full disk):
// the earlier file must survive whole and no temporary file may stay behind.
TEST_F(BmpCodecTest, FailedSaveLeavesTheEarlierFileIntact) {
    const std::string target = dir_.file("out.bmp");
    const Bytes earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    bmp_bytes::write_file(target, earlier);
    std::fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        BMP bmp = new_BMP();
        BMP_init(&bmp, 200, 200);
        const int status = BMP_save(&bmp, target.c_str());
        BMP_release(&bmp);
        _exit(status);
    }
    int wait_status = 0;
    ASSERT_EQ(waitpid(child, &wait_status, 0), child);
    ASSERT_TRUE(WIFEXITED(wait_status));
    EXPECT_EQ(WEXITSTATUS(wait_status), MORVA6_IMG_WRITE_FAILED);
    EXPECT_EQ(bmp_bytes::read_file(target), earlier);
    EXPECT_EQ(dir_.entries().size(), 1u);  // just out.bmp
}

TEST_F(BmpCodecTest, SaveRefusesARecordWithoutPixels) {
    BMP bmp = new_BMP();
    bmp.biWidth = 3;
    bmp.biHeight = 3;
    bmp.biBitCount = 24;
    const std::string printed = printed_by([&] {
        EXPECT_EQ(BMP_save(&bmp, path_.c_str()), MORVA6_IMG_BAD_ARGUMENT);
    });
    EXPECT_EQ(printed, "BMP record holds no picture that can be saved!\n");
    EXPECT_FALSE(std::filesystem::exists(path_));
}

// Saving through a symbolic link replaces the file it names and keeps the
// link and the file's permissions.
TEST_F(BmpCodecTest, SaveThroughALinkKeepsTheLink) {
    const std::string target = dir_.file("target.bmp");
    const std::string link = dir_.file("link.bmp");
    bmp_bytes::write_file(target, {1, 2, 3});
    chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, link);
    Record record;
    BMP_init(&record.bmp, 1, 1);
    ASSERT_EQ(BMP_save(&record.bmp, link.c_str()), MORVA6_IMG_OK);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(bmp_bytes::read_file(target).size(), 58u);
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// ---- resampling ----

TEST_F(BmpCodecTest, ResizeRepeatsAndDropsPixels) {
    Record record;
    BMP_init(&record.bmp, 2, 1);
    const Bytes two = {1, 2, 3, 4, 5, 6};
    std::copy(two.begin(), two.end(), record.bmp.data);
    BMP_resize(&record.bmp, 4, 1);
    EXPECT_EQ(record.data(12), (Bytes{1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6}));
    EXPECT_EQ(record.bmp.biWidth, 4);
    EXPECT_EQ(record.bmp.biSizeImage, 12u);
    EXPECT_EQ(record.bmp.bfSize, 66u);

    BMP_resize(&record.bmp, 1, 1);
    EXPECT_EQ(record.data(3), (Bytes{1, 2, 3}));
    EXPECT_EQ(record.bmp.biSizeImage, 4u);
}

// Source row y / sy and column x / sx, truncated: 3 rows shrink to rows 0 and 1
// (y / (2/3) = 0, 1.5), 2 columns grow to 0, 0, 1.
TEST_F(BmpCodecTest, ResizeTruncatesSourceCoordinates) {
    Record record;
    BMP_init(&record.bmp, 2, 3);
    for (int pixel = 0; pixel < 6; ++pixel) {
        for (int c = 0; c < 3; ++c) record.bmp.data[pixel * 3 + c] = static_cast<std::uint8_t>(pixel * 10);
    }
    BMP_resize(&record.bmp, 3, 2);
    const Bytes data = record.data(18);
    Bytes firsts;
    for (int pixel = 0; pixel < 6; ++pixel) firsts.push_back(data[pixel * 3]);
    EXPECT_EQ(firsts, (Bytes{0, 0, 10, 20, 20, 30}));
}

TEST_F(BmpCodecTest, ResizeOfEmptyOrForeignRecordsIsSafe) {
    Record empty;
    BMP_init(&empty.bmp, 0, 0);
    BMP_resize(&empty.bmp, 2, 2);
    EXPECT_EQ(empty.data(12), Bytes(12, 0));

    BmpFile file{.width = 1, .height = 1, .bit_count = 8};
    file.palette = bmp_bytes::ramp_palette(256);
    file.pixels = {3};
    Record indexed;
    ASSERT_EQ(read(build(file), indexed), MORVA6_IMG_OK);
    BMP_resize(&indexed.bmp, 8, 8);  // 8-bit records are left alone
    EXPECT_EQ(indexed.bmp.biWidth, 1);
    EXPECT_NE(indexed.bmp.palette, nullptr);

    Record kept;
    BMP_init(&kept.bmp, 1, 1);
    BMP_resize(&kept.bmp, -1, 4);
    EXPECT_EQ(kept.bmp.biWidth, 1);
}

TEST(BmpRecord, ReleaseZeroesTheRecord) {
    BMP bmp = new_BMP();
    EXPECT_TRUE(all_zero(bmp));
    BMP_init(&bmp, 3, 3);
    BMP_release(&bmp);
    EXPECT_TRUE(all_zero(bmp));
}

}  // namespace
