// Demo savers: the colour pattern (anchored at the top-left corner, in both
// row orders), the colour-code table, the written BMP/PPM bytes read back,
// refused patterns and sizes, and write failures.
#include <gtest/gtest.h>

#include <morva6/morva6_image.h>
#include <sys/resource.h>

#include <array>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Bgr = std::array<std::uint8_t, 3>;

constexpr Bgr kBlack{0, 0, 0}, kRed{0, 0, 255}, kGreen{0, 255, 0}, kBlue{255, 0, 0},
    kCyan{255, 255, 0}, kMagenta{255, 0, 255}, kYellow{0, 255, 255}, kWhite{255, 255, 255};

fs::path scratch_dir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = fs::path(TEST_BINARY_DIR) / "demo_savers_scratch" /
                   (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t little_endian(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

// A 24-bit BMP file read back by hand: pixels top row first, blue-green-red.
struct BmpPicture {
    std::int32_t width = 0, height = 0;
    std::vector<Bgr> pixels;
    Bgr at(std::int32_t r, std::int32_t c) const { return pixels[std::size_t(r) * width + c]; }
};

BmpPicture read_bmp(const fs::path& path) {
    const std::string file = read_file(path);
    BmpPicture picture;
    EXPECT_GE(file.size(), 54u);
    if (file.size() < 54) return picture;
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(little_endian(file, 2, 4), file.size());
    EXPECT_EQ(little_endian(file, 10, 4), 54u);
    EXPECT_EQ(little_endian(file, 28, 2), 24u);
    picture.width = static_cast<std::int32_t>(little_endian(file, 18, 4));
    picture.height = static_cast<std::int32_t>(little_endian(file, 22, 4));
    const std::size_t row = (std::size_t(picture.width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(file.size(), 54 + row * picture.height);
    if (file.size() != 54 + row * picture.height) return picture;
    for (std::int32_t r = picture.height - 1; r >= 0; --r) {
        const std::size_t start = 54 + std::size_t(r) * row;
        for (std::int32_t c = 0; c < picture.width; ++c) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(file.data() + start + std::size_t(c) * 3);
            picture.pixels.push_back({p[0], p[1], p[2]});
        }
        for (std::size_t pad = std::size_t(picture.width) * 3; pad < row; ++pad)
            EXPECT_EQ(file[start + pad], 0) << "row padding";
    }
    return picture;
}

std::string captured(const std::function<void()>& action) {
    ::testing::internal::CaptureStdout();
    action();
    return ::testing::internal::GetCapturedStdout();
}

// ---- Vitrel pattern ----

const std::uint8_t kRgbPattern[] = {0, 1, 2};
const Panel kRgbPanel{kRgbPattern, 3, 1};

// A full-scale byte 0xFF shows as 0xF0 too: the low four bits are always
// cleared.
TEST(DemoVitrel, PatternZeroOneTwoClearsTheLowBits) {
    const fs::path dir = scratch_dir();
    const Bytes image{0xFF, 0xFF, 0x9C};
    ASSERT_EQ(saveBMP_DemoVitrel_QW(image.data(), 3, 1, (dir / "a.bmp").c_str(), &kRgbPanel, 1), 0);
    const BmpPicture bmp = read_bmp(dir / "a.bmp");
    EXPECT_EQ(bmp.pixels, (std::vector<Bgr>{{0, 0, 0xF0}, {0, 0xF0, 0}, {0x90, 0, 0}}));

    ASSERT_EQ(savePPM_DemoVitrel_QW(image.data(), 3, 1, (dir / "a.ppm").c_str(), &kRgbPanel), 0);
    EXPECT_EQ(read_file(dir / "a.ppm"), std::string("P6\n3 1\n255\n") +
                                            std::string("\xF0\0\0\0\xF0\0\0\0\x90", 9));
}

// A 2 x 2 pattern {0, 1 / 2, 3} over a 3 x 2 picture: the pattern starts at
// the top-left corner whatever the stored row order, and byte 3 stays black.
const std::uint8_t kSquarePattern[] = {0, 1, 2, 3};
const Panel kSquarePanel{kSquarePattern, 2, 2};
const Bytes kTopFirst{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
const std::vector<Bgr> kTopFirstShown{{0, 0, 0x10}, {0, 0x20, 0}, {0, 0, 0x30},
                                      {0x40, 0, 0}, kBlack,       {0x60, 0, 0}};

TEST(DemoVitrel, PatternIsAnchoredAtTheTopLeft) {
    const fs::path dir = scratch_dir();
    ASSERT_EQ(saveBMP_DemoVitrel_QW(kTopFirst.data(), 3, 2, (dir / "top.bmp").c_str(), &kSquarePanel, 1), 0);
    EXPECT_EQ(read_bmp(dir / "top.bmp").pixels, kTopFirstShown);

    // The same picture stored bottom row first, written without flip.
    const Bytes bottom_first{0x44, 0x55, 0x66, 0x11, 0x22, 0x33};
    ASSERT_EQ(saveBMP_DemoVitrel_QW(bottom_first.data(), 3, 2, (dir / "bottom.bmp").c_str(), &kSquarePanel, 0),
              0);
    EXPECT_EQ(read_bmp(dir / "bottom.bmp").pixels, kTopFirstShown);

    ASSERT_EQ(savePPM_DemoVitrel_QW(kTopFirst.data(), 3, 2, (dir / "top.ppm").c_str(), &kSquarePanel), 0);
    std::string expected = "P6\n3 2\n255\n";
    for (const Bgr& p : kTopFirstShown) expected += {char(p[2]), char(p[1]), char(p[0])};
    EXPECT_EQ(read_file(dir / "top.ppm"), expected);
}

TEST(DemoVitrel, PatternRepeatsOverAnOddPicture) {
    // 7 x 5 picture of 0xF0, pattern 3 wide and 2 high: column c, row r shows
    // channel pattern[(c mod 3) + (r mod 2) x 3].
    const std::uint8_t pattern[] = {0, 1, 2, 2, 9, 0};
    const Panel panel{pattern, 3, 2};
    const fs::path dir = scratch_dir();
    const Bytes image(35, 0xF7);
    ASSERT_EQ(saveBMP_DemoVitrel_QW(image.data(), 7, 5, (dir / "odd.bmp").c_str(), &panel, 1), 0);
    const BmpPicture bmp = read_bmp(dir / "odd.bmp");
    const Bgr shown[2][3] = {{{0, 0, 0xF0}, {0, 0xF0, 0}, {0xF0, 0, 0}}, {{0xF0, 0, 0}, kBlack, {0, 0, 0xF0}}};
    ASSERT_EQ(bmp.pixels.size(), 35u);
    for (std::int32_t r = 0; r < 5; ++r)
        for (std::int32_t c = 0; c < 7; ++c) EXPECT_EQ(bmp.at(r, c), shown[r % 2][c % 3]) << r << "," << c;
}

TEST(DemoVitrel, ConvertPanelKeepsTheOtherChannels) {
    BMP record = new_BMP();
    BMP_init(&record, 3, 2);
    ASSERT_NE(record.data, nullptr);
    std::fill(record.data, record.data + 18, std::uint8_t{1});
    // The image is in record order: bottom row first.
    const Bytes image{0x44, 0x55, 0x66, 0x11, 0x22, 0x33};
    EXPECT_EQ(Stream_to_BMP_convert_Panel(&record, image.data(), &kSquarePanel), 0);
    const Bytes expected_bottom_row{0x40, 1, 1, 1, 1, 1, 0x60, 1, 1};
    const Bytes expected_top_row{1, 1, 0x10, 1, 0x20, 1, 1, 1, 0x30};
    EXPECT_EQ(Bytes(record.data, record.data + 9), expected_bottom_row);
    EXPECT_EQ(Bytes(record.data + 9, record.data + 18), expected_top_row);
    BMP_release(&record);
}

TEST(DemoVitrel, EmptyPicturesGiveHeaderOnlyFiles) {
    const fs::path dir = scratch_dir();
    ASSERT_EQ(saveBMP_DemoVitrel_QW(nullptr, 0, 3, (dir / "a.bmp").c_str(), &kRgbPanel, 1), 0);
    EXPECT_EQ(read_file(dir / "a.bmp").size(), 54u);
    ASSERT_EQ(savePPM_DemoVitrel_QW(nullptr, 4, 0, (dir / "a.ppm").c_str(), &kRgbPanel), 0);
    EXPECT_EQ(read_file(dir / "a.ppm"), "P6\n4 0\n255\n");

    BMP record = new_BMP();
    EXPECT_EQ(Stream_to_BMP_convert_Panel(&record, nullptr, &kRgbPanel), 0);
}

TEST(DemoVitrel, RefusedPatternsAndSizesWriteNothing) {
    const fs::path dir = scratch_dir();
    const fs::path path = dir / "x";
    const Bytes image(4, 0xFF);
    const Panel zero_width{kRgbPattern, 0, 1};
    const Panel zero_height{kRgbPattern, 3, 0};
    const Panel no_pattern{nullptr, 3, 1};
    for (const Panel* panel : {&zero_width, &zero_height, &no_pattern, static_cast<const Panel*>(nullptr)}) {
        EXPECT_EQ(saveBMP_DemoVitrel_QW(image.data(), 2, 2, path.c_str(), panel, 1), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(savePPM_DemoVitrel_QW(image.data(), 2, 2, path.c_str(), panel), MORVA6_IMG_BAD_ARGUMENT);
        BMP record = new_BMP();
        BMP_init(&record, 2, 2);
        EXPECT_EQ(Stream_to_BMP_convert_Panel(&record, image.data(), panel), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(Bytes(record.data, record.data + 12), Bytes(12, 0));
        BMP_release(&record);
    }
    EXPECT_EQ(saveBMP_DemoVitrel_QW(image.data(), -2, 2, path.c_str(), &kRgbPanel, 0), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(savePPM_DemoVitrel_QW(image.data(), 40000, 40000, path.c_str(), &kRgbPanel), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(saveBMP_DemoUlma2_QW(image.data(), 2, -1, path.c_str()), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(saveBMP_DemoUlma2_QW(nullptr, 2, 2, path.c_str()), MORVA6_IMG_BAD_ARGUMENT);
    EXPECT_FALSE(fs::exists(path));
}

// ---- Ulma2 colour codes ----

TEST(DemoUlma2, EveryCodeHasItsColour) {
    std::array<Bgr, 256> expected{};
    expected.fill(kBlack);
    const std::pair<std::vector<int>, Bgr> named[] = {
        {{32, 40, 48}, kRed},          {{64, 72, 80}, kGreen},        {{96, 104, 112}, kBlue},
        {{128, 136, 144}, kCyan},      {{160, 168, 176}, kMagenta},   {{192, 200, 208}, kYellow},
        {{224, 232, 240, 248}, kWhite}};
    for (const auto& [codes, colour] : named)
        for (int code : codes) expected[std::size_t(code)] = colour;

    // All 256 codes in one row, then the same codes as a 16 x 16 picture.
    Bytes codes(256);
    for (int i = 0; i < 256; ++i) codes[std::size_t(i)] = static_cast<std::uint8_t>(i);
    const fs::path dir = scratch_dir();
    ASSERT_EQ(saveBMP_DemoUlma2_QW(codes.data(), 256, 1, (dir / "row.bmp").c_str()), 0);
    const BmpPicture row = read_bmp(dir / "row.bmp");
    ASSERT_EQ(row.pixels.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(row.pixels[std::size_t(i)], expected[std::size_t(i)]) << "code " << i;

    ASSERT_EQ(saveBMP_DemoUlma2_QW(codes.data(), 16, 16, (dir / "square.bmp").c_str()), 0);
    const BmpPicture square = read_bmp(dir / "square.bmp");
    ASSERT_EQ(square.pixels.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(square.at(i / 16, i % 16), expected[std::size_t(i)]) << "code " << i;
}

TEST(DemoUlma2, TopRowComesFirstOnAnOddPicture) {
    const Bytes codes{8, 40, 128, 248, 4, 56, 250, 200, 96, 64, 160, 0};  // 3 wide, 4 high
    const fs::path dir = scratch_dir();
    ASSERT_EQ(saveBMP_DemoUlma2_QW(codes.data(), 3, 4, (dir / "a.bmp").c_str()), 0);
    const BmpPicture bmp = read_bmp(dir / "a.bmp");
    EXPECT_EQ(bmp.width, 3);
    EXPECT_EQ(bmp.height, 4);
    EXPECT_EQ(bmp.pixels, (std::vector<Bgr>{kBlack, kRed, kCyan, kWhite, kBlack, kBlack, kBlack, kYellow,
                                            kBlue, kGreen, kMagenta, kBlack}));

    ASSERT_EQ(saveBMP_DemoUlma2_QW(nullptr, 0, 0, (dir / "empty.bmp").c_str()), 0);
    EXPECT_EQ(read_file(dir / "empty.bmp").size(), 54u);
}

// ---- write failures: reported on the console and in the result ----

TEST(DemoWriteFailures, UnopenablePath) {
    const fs::path missing = scratch_dir() / "no" / "such.file";
    const Bytes image(3, 0xFF);
    int status = -1;
    EXPECT_EQ(captured([&] { status = savePPM_DemoVitrel_QW(image.data(), 3, 1, missing.c_str(), &kRgbPanel); }),
              "Error opening file!\n");
    EXPECT_EQ(status, MORVA6_IMG_OPEN_FAILED);
    EXPECT_EQ(captured([&] { status = saveBMP_DemoVitrel_QW(image.data(), 3, 1, missing.c_str(), &kRgbPanel, 1); }),
              "Error opening file!\n");
    EXPECT_NE(status, 0);
    EXPECT_EQ(captured([&] { status = saveBMP_DemoUlma2_QW(image.data(), 3, 1, missing.c_str()); }),
              "Error opening file!\n");
    EXPECT_NE(status, 0);
}

TEST(DemoWriteFailures, FullDevice) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const Bytes image(200 * 200, 0x80);
    int status = -1;
    EXPECT_EQ(captured([&] { status = savePPM_DemoVitrel_QW(image.data(), 200, 200, "/dev/full", &kRgbPanel); }),
              "Error writing file!\n");
    EXPECT_EQ(status, MORVA6_IMG_WRITE_FAILED);
    captured([&] { status = saveBMP_DemoVitrel_QW(image.data(), 200, 200, "/dev/full", &kRgbPanel, 1); });
    EXPECT_NE(status, 0);
    captured([&] { status = saveBMP_DemoUlma2_QW(image.data(), 200, 200, "/dev/full"); });
    EXPECT_NE(status, 0);
}

// Each saver in turn, in a child process with a file-size limit far below the
// picture: the earlier file must survive whole, with no temporary file left.
int save_over_limit(int which, const char* path) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Bytes image(60 * 60, 0x80);
    switch (which) {
    case 0: return savePPM_DemoVitrel_QW(image.data(), 60, 60, path, &kRgbPanel);
    case 1: return saveBMP_DemoVitrel_QW(image.data(), 60, 60, path, &kRgbPanel, 1);
    default: return saveBMP_DemoUlma2_QW(image.data(), 60, 60, path);
    }
}

TEST(DemoWriteFailures, ShortWriteKeepsTheEarlierFile) {
    const fs::path dir = scratch_dir();
    const fs::path path = dir / "keep";
    for (int which = 0; which < 3; ++which) {
        std::ofstream(path, std::ios::binary) << "earlier";
        EXPECT_EXIT(std::_Exit(save_over_limit(which, path.c_str()) == 0 ? 0 : 1), ::testing::ExitedWithCode(1), "");
        EXPECT_EQ(read_file(path), "earlier") << "saver " << which;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "saver " << which;
    }
}

}  // namespace
