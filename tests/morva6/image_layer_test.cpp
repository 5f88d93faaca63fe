// The image layer: the BMP reader's layouts and its refusal of truncated
// files, a hash of every converter, transform and file writer on seeded
// pictures of odd sizes, the PPM/PGM readers, and the replace-by-rename
// rule every writer follows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <morva6/morva6_image.h>

#include "common/replace_file.h"
#include "tests/support/support.h"

namespace {

using namespace test_support;

std::vector<std::uint8_t> noise(std::size_t size, std::uint64_t seed) {
    Random random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random.next());
    return bytes;
}

struct Stream {
    int status;
    std::vector<std::uint8_t> pixels;
    std::int32_t width = 0, height = 0;
};

Stream read_stream(const fs::path& path, std::int32_t format = MORVA6_BGR) {
    std::uint8_t* block = nullptr;
    Stream s;
    s.status = readBMP_QW(&block, &s.width, &s.height, path.c_str(), format, 1);
    if (block != nullptr && s.status == 0) s.pixels.assign(block, block + std::size_t(s.width) * s.height * 3);
    std::free(block);
    return s;
}

// Every layout of an odd width, both row orders: the stream read (top row
// first, blue-green-red) holds the file's pixels through the colour table,
// without the padding and without a 32-bit pixel's fourth byte.
TEST(BmpRead, EveryLayoutAndBothRowOrders) {
    const TempDir dir;
    for (const int bits : {8, 24, 32})
        for (const bool top_down : {false, true}) {
            const int width = 7, height = 5, bpp = bits / 8;
            const int row = (width * bpp + 3) / 4 * 4;
            const auto pixels = noise(std::size_t(row) * height, bits + top_down);
            write_file(dir / "in.bmp", bmp_bytes(width, top_down ? -height : height, bits, pixels));
            const Stream s = read_stream(dir / "in.bmp");
            ASSERT_EQ(s.status, MORVA6_IMG_OK);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const int file_row = top_down ? y : height - 1 - y;
                    const std::uint8_t* p = &pixels[std::size_t(file_row) * row + x * bpp];
                    for (int c = 0; c < 3; ++c) {
                        const int expected = bits == 8 ? (p[0] * 4 + c) * 7 + 3 : p[c];
                        ASSERT_EQ(s.pixels[(y * width + x) * 3 + c], expected & 0xFF) << bits << top_down;
                    }
                }
        }
}

// A file may lack the padding after its last row; one pixel byte less is a
// truncated file: refused with a message naming what is missing, for the
// record and for the direct 24-bit stream path alike.
TEST(BmpRead, TruncatedPixelDataIsRefused) {
    const TempDir dir;
    const auto pixels = noise(12 * 2, 9);  // 3 x 2 pixels, rows of 9 bytes and 3 of padding
    auto file = bmp_bytes(3, 2, 24, pixels);
    file.resize(file.size() - 3);
    write_file(dir / "nopad.bmp", file);
    const Stream whole = read_stream(dir / "nopad.bmp");
    ASSERT_EQ(whole.status, MORVA6_IMG_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(whole.pixels.begin() + 9, whole.pixels.end()),
              std::vector<std::uint8_t>(pixels.begin(), pixels.begin() + 9));
    file.pop_back();
    write_file(dir / "short.bmp", file);
    testing::internal::CaptureStdout();
    EXPECT_EQ(read_stream(dir / "short.bmp").status, MORVA6_IMG_TRUNCATED);
    EXPECT_EQ(read_stream(dir / "short.bmp", MORVA6_RGB).status, MORVA6_IMG_TRUNCATED);
    BMP record = new_BMP();
    EXPECT_EQ(BMP_read(&record, (dir / "short.bmp").c_str()), MORVA6_IMG_TRUNCATED);
    EXPECT_EQ(record.data, nullptr);
    const std::string line =
        "BMP pixel data are truncated: the file holds 20 of the 21 pixel bytes its header announces!\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), line + line + line);
}

// A 64-byte file that announces 20000 x 20000 pixels is refused before
// anything picture-sized is allocated: the program runs under a 256 MB
// address-space limit, below the 1.2 GB the picture would take.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t kMemoryLimit = 0;  // the sanitizer's shadow memory needs more
#else
constexpr std::uint64_t kMemoryLimit = std::uint64_t{256} << 20;
#endif

TEST(BmpRead, TinyFileClaimingAHugePictureAllocatesNothing) {
    const TempDir dir;
    write_file(dir / "in.bmp", bmp_bytes(20000, 20000, 24, std::vector<std::uint8_t>(10, 1)));
    write_file(dir / "lut.bin", identity_lut());
    write_file(dir / "out.bmp", std::string("earlier"));
    const ProgramRun run =
        run_program(MORVA6_RENDER_EXE, {"-i", "in.bmp", "-o", "out.bmp", "-l", "lut.bin"}, dir.path(), kMemoryLimit);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("the file holds 10 of the 1200000000 pixel bytes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("ERROR: Failed to read input image in.bmp\n"), std::string::npos);
    EXPECT_EQ(read_file(dir / "out.bmp"), "earlier");
}

TEST(PpmPgm, ShortFilesAreRefusedBeforeAllocating) {
    const TempDir dir;
    std::uint8_t* image = nullptr;
    std::int32_t width = 0, height = 0;
    testing::internal::CaptureStdout();
    write_file(dir / "a.ppm", std::string("P6 9999 9999 255\n") + std::string(100, 'x'));
    EXPECT_EQ(readPPM_QW(&image, &width, &height, (dir / "a.ppm").c_str()), MORVA6_IMG_TRUNCATED);
    write_file(dir / "a.pgm", std::string("P5 2 2 255\n") + std::string(3, 'x'));
    EXPECT_EQ(readPGM_QW(&image, &width, &height, (dir / "a.pgm").c_str()), MORVA6_IMG_TRUNCATED);
    write_file(dir / "a.pgm", std::string("P6 2 2 255\n") + std::string(4, 'x'));
    EXPECT_EQ(readPGM_QW(&image, &width, &height, (dir / "a.pgm").c_str()), MORVA6_IMG_BAD_MAGIC);
    write_file(dir / "a.pgm", std::string("P5 2 2 256\n"));
    EXPECT_EQ(readPGM_QW(&image, &width, &height, (dir / "a.pgm").c_str()), MORVA6_IMG_NOT_8_BIT);
    const std::string ppm = (dir / "a.ppm").string(), pgm = (dir / "a.pgm").string();
    std::string expected = "'";
    expected += ppm;
    expected += "' holds fewer pixel bytes than its header announces\n'";
    expected += pgm;
    expected += "' holds fewer pixel bytes than its header announces\nInvalid image format (must be 'P5')\n'";
    expected += pgm;
    expected += "' does not have 8-bits components\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(image, nullptr);
}

// Every converter, transform and writer of the layer on seeded pictures of
// odd and even sizes, hashed whole (results, sizes and files).
TEST(ImageLayer, ConvertersTransformsAndWriters) {
    using Converter = int (*)(uint8_t*, const uint8_t*, int32_t, int32_t);
    const std::vector<std::pair<Converter, int>> converters = {
        {BGR_to_RGB, 3},   {BGR_to_GRAY, 1},  {BGR_to_RGBA, 4},  {BGR_to_BGRA, 4},        {BGR_to_ARGB, 4},
        {BGR_to_ABGR, 4},  {RGB_to_BGR, 3},   {RGBA_to_BGR, 3},  {BGRA_to_BGR, 3},        {GRAY_to_BGR, 3},
        {GrayR_to_BGR, 3}, {GrayG_to_BGR, 3}, {GrayB_to_BGR, 3}, {BGR_to_GrayQM913TR5, 1}};
    const TempDir dir;
    const std::uint8_t pattern[6] = {0, 1, 2, 2, 3, 0};
    const Panel panel{pattern, 3, 2};
    Hash hash;
    const auto add_file = [&](const char* name) { hash.add(read_bytes(dir / name)); };
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{4, 7}, std::pair{37, 22}}) {
        const auto picture = noise(std::size_t(w) * h * 4, w * 100 + h);
        for (const auto& [convert, out_bytes] : converters) {
            std::vector<std::uint8_t> out(std::size_t(w) * h * out_bytes, 0x77);
            EXPECT_EQ(convert(out.data(), picture.data(), w, h), 0);
            hash.add(out);
        }
        for (int channels : {1, 3}) {
            std::vector<std::uint8_t> p(picture.begin(), picture.begin() + w * h * channels);
            std::int32_t width = w, height = h;
            EXPECT_EQ(img_rotation90_QW(p.data(), &width, &height, channels), 0);
            hash.add(p);
            EXPECT_EQ(img_rotation180_QW(p.data(), &width, &height, channels), 0);
            hash.add(p);
            EXPECT_EQ(img_rotation270_QW(p.data(), &width, &height, channels), 0);
            hash.add(p);
            EXPECT_EQ(img_flipped_QW(p.data(), width, height, channels), 0);
            EXPECT_EQ(img_mirror_QW(p.data(), width, height, channels), 0);
            hash.add(p);
            auto* block = static_cast<std::uint8_t*>(std::malloc(p.size()));
            std::copy(p.begin(), p.end(), block);
            EXPECT_EQ(img_resize_QW(&block, &width, &height, w * 3 / 2 + 1, h * 2 / 3 + 1, channels), 0);
            EXPECT_EQ(img_padding_QW(&block, &width, &height, channels, 1, 2, 0, 3), 0);
            std::uint8_t* crop = nullptr;
            std::int32_t cw = 0, ch = 0;
            EXPECT_EQ(img_crop_QW(block, width, height, channels, &crop, &cw, &ch, 1, 1, width - 1, height), 0);
            hash.add_number(cw * 10000 + ch);
            hash.add(crop, std::size_t(cw) * ch * channels);
            std::free(crop);
            std::free(block);
        }
        EXPECT_EQ(savePPM_QW(picture.data(), w, h, (dir / "a.ppm").c_str()), 0);
        EXPECT_EQ(savePGM_QW(picture.data(), w, h, (dir / "a.pgm").c_str()), 0);
        EXPECT_EQ(saveBMP_DemoVitrel_QW(picture.data(), w, h, (dir / "v.bmp").c_str(), &panel, 1), 0);
        EXPECT_EQ(saveBMP_DemoVitrel_QW(picture.data(), w, h, (dir / "v0.bmp").c_str(), &panel, 0), 0);
        EXPECT_EQ(savePPM_DemoVitrel_QW(picture.data(), w, h, (dir / "v.ppm").c_str(), &panel), 0);
        EXPECT_EQ(saveBMP_DemoUlma2_QW(picture.data(), w, h, (dir / "u.bmp").c_str()), 0);
        for (const char* name : {"a.ppm", "a.pgm", "v.bmp", "v0.bmp", "v.ppm", "u.bmp"}) add_file(name);
        std::uint8_t* back = nullptr;
        std::int32_t width = 0, height = 0;
        EXPECT_EQ(readPPM_QW(&back, &width, &height, (dir / "a.ppm").c_str()), 0);
        EXPECT_TRUE(std::equal(back, back + w * h * 3, picture.begin()));
        std::free(back);
        BMP record = new_BMP();
        EXPECT_EQ(BMP_read(&record, (dir / "u.bmp").c_str()), 0);
        BMP_resize(&record, w * 2 + 1, h / 2 + 1);
        EXPECT_EQ(BMP_save(&record, (dir / "r.bmp").c_str()), 0);
        BMP_release(&record);
        add_file("r.bmp");
    }
    EXPECT_EQ(hash.value(), 0x8E48CF06AFF762DBULL);
}

// Every stream format, known or not, read and written in both row orders,
// with the statuses (the numbers callers see) and the files hashed.
TEST(ImageLayer, StreamsOfEveryFormat) {
    const TempDir dir;
    const auto picture = noise(5 * 3 * 4, 77);
    Hash hash;
    testing::internal::CaptureStdout();
    for (std::int32_t format = -1; format <= 10; ++format)
        for (const std::uint8_t flip : {0, 1}) {
            hash.add_number(saveBMP_QW(picture.data(), 5, 3, (dir / "s.bmp").c_str(), format, flip));
            hash.add(read_bytes(dir / "s.bmp"));
            std::uint8_t* stream = nullptr;
            std::int32_t width = 0, height = 0;
            hash.add_number(readBMP_QW(&stream, &width, &height, (dir / "s.bmp").c_str(), format, flip));
            if (stream != nullptr) hash.add(stream, 5 * 3 * (format == 0 ? 1 : format <= 2 ? 3 : 4));
            std::free(stream);
        }
    const std::string printed = testing::internal::GetCapturedStdout();
    hash.add(reinterpret_cast<const std::uint8_t*>(printed.data()), printed.size());
    EXPECT_EQ(hash.value(), 0x08110AFACBB35C0FULL);
}

// The refusals of the transforms and of the panel painter, by the numbers
// the header documents.
TEST(ImageLayer, TransformAndPainterRefusals) {
    std::vector<std::uint8_t> p(4 * 3 * 3);
    std::uint8_t* out = nullptr;
    std::int32_t w = 4, h = 3, ow = 0, oh = 0;
    EXPECT_EQ(img_crop_QW(p.data(), 4, 3, 3, &out, &ow, &oh, 0, 0, 5, 3), 7);
    EXPECT_EQ(img_crop_QW(p.data(), 4, 3, 3, &out, &ow, &oh, -1, 0, 2, 3), 7);
    EXPECT_EQ(img_crop_QW(p.data(), 4, 3, 3, &out, &ow, &oh, 2, 0, 1, 3), 14);
    EXPECT_EQ(img_rotation90_QW(p.data(), &w, &h, 0), 14);
    EXPECT_EQ(img_mirror_QW(p.data(), -4, 3, 3), 11);
    EXPECT_EQ(img_flipped_QW(p.data(), 46341, 46341, 1), 11);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(w * 10 + h, 43);
    // The painter writes three bytes a pixel: records of other depths are
    // refused untouched.
    const std::uint8_t pattern[] = {0, 1, 2};
    const Panel panel{pattern, 3, 1};
    std::vector<std::uint8_t> codes(4 * 3, 0xF0);
    BMP record = new_BMP();
    BMP_init(&record, 4, 3);
    for (const std::uint16_t bits : {8, 32, 24}) {
        record.biBitCount = bits;
        EXPECT_EQ(Stream_to_BMP_convert_Panel(&record, codes.data(), &panel), bits == 24 ? 0 : 14) << bits;
        EXPECT_EQ(record.data[2], bits == 24 ? 0xF0 : 0) << bits;  // red of the bottom-left pixel
    }
    BMP_release(&record);
}

// Every writer goes through one rule: through a link to its target, the
// replaced file's mode kept, a directory refused, nothing left on failure.
TEST(ReplaceFile, LinksModesDirectoriesAndFailures) {
    const TempDir dir;
    write_file(dir / "target.bin", std::string("old"));
    chmod((dir / "target.bin").c_str(), 0640);
    fs::create_symlink("target.bin", dir / "link.bin");
    {
        common::ReplaceFile out((dir / "link.bin").string());
        ASSERT_TRUE(out.is_open());
        EXPECT_TRUE(out.write("new", 3));
        EXPECT_TRUE(out.commit());
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.bin"));
    EXPECT_EQ(read_file(dir / "target.bin"), "new");
    struct stat info {};
    stat((dir / "target.bin").c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(common::ReplaceFile((dir / "folder").string()).is_open());
    {
        common::ReplaceFile abandoned((dir / "target.bin").string());
        abandoned.write("x", 1);
    }
    common::ReplaceFile full("/dev/full");
    full.write(std::string(1 << 19, 'x').data(), 1 << 19);
    EXPECT_FALSE(full.commit());
    EXPECT_EQ(read_file(dir / "target.bin"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

}  // namespace
