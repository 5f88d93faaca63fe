// photo2panel run as a user runs it, on pictures made here with libvips:
// orientation, colour spaces, transparency, depth, damaged and refused
// files, several pictures, agreement with the renderers byte for byte, and
// the installed program with its data.
#include <gtest/gtest.h>
#include <vips/vips.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "tests/support/support.h"

namespace fs = std::filesystem;

namespace {

using Outcome = test_support::ProgramRun;
using test_support::run_command;
const auto bytes_of = test_support::read_file;

struct ImageUnref {
    void operator()(VipsImage* image) const {
        if (image) g_object_unref(image);
    }
};
using Image = std::unique_ptr<VipsImage, ImageUnref>;

// A picture of width x height whose left half is `left` and right half
// `right` (bands and scale as given), e.g. {255, 0, 0} and {0, 0, 255}.
Image halves(int width, int height, std::vector<double> left, std::vector<double> right, VipsBandFormat format,
             VipsInterpretation interpretation) {
    const int bands = static_cast<int>(left.size());
    const std::size_t unit = format == VIPS_FORMAT_USHORT ? 2 : 1;
    std::vector<unsigned char> pixels(std::size_t(width) * height * bands * unit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bands; ++b) {
                const double v = (x < width / 2 ? left : right)[std::size_t(b)];
                const std::size_t i = (std::size_t(y) * width + x) * bands + b;
                if (unit == 2)
                    reinterpret_cast<unsigned short*>(pixels.data())[i] = static_cast<unsigned short>(v);
                else
                    pixels[i] = static_cast<unsigned char>(v);
            }
    Image image(vips_image_new_from_memory_copy(pixels.data(), pixels.size(), width, height, bands, format));
    image->Type = interpretation;
    return image;
}

// Writes a libvips image to `path`; `options` are passed to the saver.
void save(const Image& image, const fs::path& path) {
    ASSERT_EQ(vips_image_write_to_file(image.get(), path.c_str(), nullptr), 0) << vips_error_buffer();
}

// The fitted picture photo2panel saved, as R,G,B of the pixel at (x, y).
std::array<int, 3> pixel(const fs::path& ppm, int x, int y) {
    Image image(vips_image_new_from_file(ppm.c_str(), nullptr));
    double* values = nullptr;
    int n = 0;
    if (image == nullptr || vips_getpoint(image.get(), &values, &n, x, y, nullptr) != 0 || n < 3) return {-1, -1, -1};
    std::array<int, 3> rgb{int(values[0]), int(values[1]), int(values[2])};
    g_free(values);
    return rgb;
}

void expect_near(std::array<int, 3> actual, std::array<int, 3> expected, int tolerance, const char* what) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[std::size_t(c)], expected[std::size_t(c)], tolerance) << what << " channel " << c;
}

class Photo2Panel : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(VIPS_INIT("photo2panel_tests"), 0); }
    void SetUp() override {
        dir = fs::path(TEST_BINARY_DIR) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    std::string p2p(const std::string& args) const { return std::string(PHOTO2PANEL_EXE) + " " + args; }
    fs::path dir;
};

// Every picture is fitted to 40 x 60 without turning or cropping, so the
// fitted picture shows the input's halves where they belong: left (5, 54),
// right (34, 5).
struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    std::array<int, 3> first, second;  // at (34, 5) and (5, 54) of the fitted 40 x 60 picture
};

TEST_F(Photo2Panel, ReadsEveryKindOfPictureUpright) {
    const std::vector<Case> cases = {
        // Stored sideways, red left: orientation 6 turns it clockwise, red on
        // top; unturned, (34, 5) would be blue.
        {"sideways.jpg",
         [](const fs::path& p) {
             Image image = halves(60, 40, {255, 0, 0}, {0, 0, 255}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB);
             vips_image_set_int(image.get(), VIPS_META_ORIENTATION, 6);
             save(image, p);
         },
         {255, 0, 0},
         {0, 0, 255}},
        // Left half transparent: the white background shows.
        {"alpha.png",
         [](const fs::path& p) {
             save(halves(40, 60, {0, 0, 0, 0}, {0, 128, 0, 255}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), p);
         },
         {0, 128, 0},
         {255, 255, 255}},
        {"deep.png",
         [](const fs::path& p) {
             save(halves(40, 60, {65535, 32896, 0}, {0, 0, 65535}, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_RGB16), p);
         },
         {0, 0, 255},
         {255, 128, 0}},
        {"grey.jpg",
         [](const fs::path& p) { save(halves(40, 60, {200}, {30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_B_W), p); },
         {30, 30, 30},
         {200, 200, 200}},
        // Wide-gamut numbers with their profile, (197, 52, 44) for this red:
        // brought back to sRGB.
        {"p3.png",
         [](const fs::path& p) {
             Image rgb = halves(40, 60, {220, 30, 30}, {255, 255, 255}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB);
             VipsImage* p3 = nullptr;
             ASSERT_EQ(vips_icc_export(rgb.get(), &p3, "output_profile", "p3", nullptr), 0) << vips_error_buffer();
             save(Image(p3), p);
         },
         {255, 255, 255},
         {220, 30, 30}},
        {"cmyk.jpg",
         [](const fs::path& p) {
             Image rgb = halves(40, 60, {220, 30, 30}, {255, 255, 255}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB);
             VipsImage* cmyk = nullptr;
             ASSERT_EQ(vips_icc_export(rgb.get(), &cmyk, "output_profile", "cmyk", nullptr), 0) << vips_error_buffer();
             save(Image(cmyk), p);
         },
         {255, 255, 255},
         {220, 30, 30}},
    };
    for (const Case& c : cases) {
        const fs::path input = dir / c.name;
        c.make(input);
        const fs::path fitted = dir / (std::string(c.name) + ".ppm");
        const Outcome r = run_command(p2p(input.string() + " -o " + (dir / "panel.bmp").string() +
                                          " --size 40x60 --fit fill "
                                          "--rotate 0 --save-fitted " +
                                          fitted.string()));
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        // The CMYK round trip through a printing profile moves colours most.
        const int tolerance = std::string(c.name) == "cmyk.jpg" ? 40 : 6;
        expect_near(pixel(fitted, 34, 5), c.first, tolerance, c.name);
        expect_near(pixel(fitted, 5, 54), c.second, tolerance, c.name);
    }
}

TEST_F(Photo2Panel, RefusesBadFilesWithoutWritingAnything) {
    Image photo = halves(64, 48, {10, 200, 30}, {200, 10, 30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB);
    save(photo, dir / "whole.jpg");
    const std::string jpeg = bytes_of(dir / "whole.jpg");
    std::ofstream(dir / "truncated.jpg", std::ios::binary) << jpeg.substr(0, jpeg.size() / 2);
    std::ofstream(dir / "notes.jpg") << "not a picture at all\n";
    // A valid PNG header announcing 100000 x 100000 pixels: refused from the
    // header alone, long before 30 GB of pixels could be decoded.
    save(photo, dir / "small.png");
    std::string huge = bytes_of(dir / "small.png");
    const unsigned char size[8] = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0};
    huge.replace(16, 8, reinterpret_cast<const char*>(size), 8);
    unsigned long crc = 0xFFFFFFFFul;  // the IHDR chunk's CRC over type and data
    for (int i = 12; i < 29; ++i) {
        crc ^= static_cast<unsigned char>(huge[std::size_t(i)]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320ul & (0 - (crc & 1)));
    }
    crc ^= 0xFFFFFFFFul;
    for (int i = 0; i < 4; ++i) huge[std::size_t(29 + i)] = static_cast<char>(crc >> (24 - 8 * i));
    std::ofstream(dir / "huge.png", std::ios::binary) << huge;

    // Noise cut in half with an end marker: it decodes "successfully" into
    // grey. Which step meets the decoder's complaint first varies from run to
    // run; the file is refused the same way whichever it is.
    VipsImage* noise = nullptr;
    ASSERT_EQ(vips_gaussnoise(&noise, 96, 64, "mean", 128.0, "sigma", 40.0, "seed", 3, nullptr), 0);
    VipsImage* grey = nullptr;
    ASSERT_EQ(vips_cast_uchar(noise, &grey, nullptr), 0);
    g_object_unref(noise);
    save(Image(grey), dir / "noise.jpg");
    const std::string noisy = bytes_of(dir / "noise.jpg");
    std::ofstream(dir / "cut-ended.jpg", std::ios::binary) << noisy.substr(0, noisy.size() / 2) << "\xFF\xD9";
    std::ofstream(dir / "drawing.svg") << "<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>";
    std::ofstream(dir / "table.csv") << "1,2,3\n4,5,6\n";
    fs::create_directory(dir / "folder.jpg");
    const std::string unsupported = "not a supported picture format";
    const std::vector<std::pair<std::string, std::string>> cases = {{"truncated.jpg", "truncated.jpg"},
                                                                    {"notes.jpg", unsupported},
                                                                    {"huge.png", "megapixels"},
                                                                    {"missing.jpg", "missing.jpg"},
                                                                    {"cut-ended.jpg", "damaged or truncated"},
                                                                    {"drawing.svg", unsupported},
                                                                    {"table.csv", unsupported},
                                                                    {"folder.jpg", "is a folder"},
                                                                    {"/dev/zero", unsupported}};
    for (const auto& [name, expected] : cases) {
        const fs::path output = dir / "panel.bmp";
        const std::string input = name.front() == '/' ? name : (dir / name).string();
        const Outcome r =
            run_command(p2p(input + " -o " + output.string() + " --preview " + (dir / "preview.png").string()));
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_NE(r.err.find(expected), std::string::npos) << name << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << name << ": one line: " << r.err;
        EXPECT_FALSE(fs::exists(output)) << name;
        EXPECT_FALSE(fs::exists(dir / "preview.png")) << name;
    }
    // Accepted when asked for, with the decoder's warning naming the file.
    const Outcome damaged = run_command(
        p2p("--accept-damaged " + (dir / "cut-ended.jpg").string() + " -o " + (dir / "damaged.bmp").string()));
    EXPECT_EQ(damaged.status, 0) << damaged.err;
    EXPECT_NE(damaged.err.find("cut-ended.jpg: warning: "), std::string::npos) << damaged.err;
    // Several pictures, one missing: the other is still done.
    const Outcome r = run_command(p2p("-q " + (dir / "whole.jpg").string() + " " + (dir / "gone.png").string() +
                                      " -o " + (dir / "out").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("gone.png"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(dir / "out/whole.bmp"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
}

// An output never replaces an input or another output of the run; a run
// that fails changes none of its files; a one-row picture has no TFT form.
TEST_F(Photo2Panel, NothingReadIsLostAndFilesChangeTogether) {
    save(halves(8, 6, {10, 200, 30}, {200, 10, 30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / "a.png");
    save(halves(8, 6, {10, 20, 30}, {20, 10, 30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / "b.png");
    save(halves(8, 1, {10, 20, 30}, {20, 10, 30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / "row.png");
    fs::create_hard_link(dir / "a.png", dir / "twin.bmp");
    std::ofstream(dir / "old.bmp") << "old panel";
    const std::string a = (dir / "a.png").string();
    const std::string d = dir.string();
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    fs::copy_file(dir / "b.png", dir / "c.bmp");  // a PNG by its content
    const Case cases[] = {
        {a + " " + (dir / "c.bmp").string() + " -o " + d + " --size 8x6", 2,
         "the output " + d + "/c.bmp is the input " + d + "/c.bmp"},
        {a + " -o " + d + "/twin.bmp", 2, "the output " + d + "/twin.bmp is the input " + a},
        {a + " -o " + d + "/old.bmp --save-fitted " + d + "/./old.bmp", 2, "are the same file"},
        {a + " -o " + d + "/old.bmp --save-fitted " + d + "/f.ppm --preview /proc/p.png", 1,
         "/proc/p.png: cannot create"},
        {(dir / "row.png").string() + " -o " + d + "/old.bmp --size 8x1 -t 1", 1, "TFT format transfer failed"},
        {a + " -o " + d + "/old.bmp --lut /dev/zero", 1, "/dev/zero: is a device, not a file"},
    };
    for (const Case& c : cases) {
        const Outcome r = run_command(p2p(c.args));
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(bytes_of(dir / "old.bmp"), "old panel") << c.args;
        EXPECT_EQ(bytes_of(dir / "a.png"), bytes_of(dir / "twin.bmp"));
        EXPECT_FALSE(fs::exists(dir / "f.ppm")) << c.args;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 6);
}

// A picture from standard input or a pipe, the panel file to standard output.
TEST_F(Photo2Panel, PipesAndStandardStreams) {
    save(halves(8, 6, {10, 200, 30}, {200, 10, 30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / "a.jpg");
    const std::string a = (dir / "a.jpg").string();
    ASSERT_EQ(run_command(p2p(a + " -o " + (dir / "file.bmp").string() + " --size 8x6")).status, 0);
    const Outcome piped = run_command("cat " + a + " | " + p2p("- -o - --size 8x6 > " + (dir / "out.bmp").string()));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(bytes_of(dir / "out.bmp"), bytes_of(dir / "file.bmp"));
    EXPECT_NE(piped.err.find("- -> -"), std::string::npos) << piped.err;  // progress off the panel stream
    ASSERT_EQ(mkfifo((dir / "fifo.jpg").c_str(), 0600), 0);
    const Outcome fifo =
        run_command("cat " + a + " > " + (dir / "fifo.jpg").string() + " & " +
                    p2p((dir / "fifo.jpg").string() + " -q --size 8x6 -o " + (dir / "f.bmp").string()));
    EXPECT_EQ(fifo.status, 0) << fifo.err;
    EXPECT_EQ(bytes_of(dir / "f.bmp"), bytes_of(dir / "file.bmp"));
    EXPECT_EQ(run_command(p2p(a + " " + a + " -o -")).status, 2);
}

TEST_F(Photo2Panel, CommandLine) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"--help", 0},
        {"--version", 0},
        {"", 2},
        {"a.jpg", 2},
        {"a.jpg -o x.bmp --size 0x10", 2},
        {"a.jpg -o x.bmp --fit squash", 2},
        {"a.jpg -o x.bmp --dither 7", 2},
        {"a.jpg -o x.bmp --mode 0", 2},
        {"a.jpg -o x.bmp --tft 6", 2},
        {"a.jpg -o x.bmp --gamma 2.01", 2},
        {"a.jpg -o x.bmp --hue 361", 2},
        {"a.jpg -o x.bmp --temperature 20", 2},
        {"a.jpg -o x.bmp -8 --dither 2", 2},
        {"a.jpg -o x.bmp --bogus", 2},
        {"a.jpg -o x.bmp --save-fitted f.png", 2},
        {"a.jpg -o", 2},
        // Accepted values: the run fails later (no such data or picture), not as a usage error.
        {"a.jpg -o x.pgm --background '#10a0ff' --size 5.65in -r d -T -5 -c 100 -n 0", 1},
        {"a.jpg -o x.bmp --background '#10a0f'", 2},
        {"a.jpg -o x.bmp --background 1,2", 2}};
    for (const auto& [args, status] : cases) EXPECT_EQ(run_command(p2p(args)).status, status) << args;
    // Every tool beside the three renderers answers --help and --version.
    std::stringstream tools(TOOLS_HELP);
    for (std::string tool; std::getline(tools, tool, ',');) {
        EXPECT_EQ(run_command(tool + " --help").status, 0) << tool;
        const Outcome version = run_command(tool + " --version");
        EXPECT_EQ(version.status, 0) << tool;
        EXPECT_EQ(version.out, fs::path(tool).filename().string() + " " + PROJECT_VERSION_TEXT + "\n") << tool;
    }
}

// The forms people type: NAME=VALUE, bundled flags, a value glued to its
// short option, "--" before a picture whose name starts with a dash.
TEST_F(Photo2Panel, UsualOptionForms) {
    save(halves(48, 30, {250, 180, 20}, {20, 90, 200}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / "-in.png");
    const std::string in = "-in.png", out = "out";  // in the test's folder
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"--size=4in --tft=1 -o " + out + "/a.bmp -- " + in, 0, "a.bmp"},
        {"-q8 --size 40x30 -o" + out + "/b.pgm -T=3 -- " + in, 2, ""},
        {"-q8 --size 40x30 -o" + out + "/b.pgm -T-3 -- " + in, 0, "b.pgm"},
        {"-qd2 --size 40x30 --crop=centre -o " + out + "/c.bmp -- " + in, 0, "c.bmp"},
        {"--size 40x30 -o " + out + "/d.bmp " + in, 2, ""},
        {"--quiet=yes --size 40x30 -o " + out + "/e.bmp -- " + in, 2, ""},
        {"-qz --size 40x30 -o " + out + "/f.bmp -- " + in, 2, ""},
        {"--crop middle -o " + out + "/g.bmp -- " + in, 2, ""}};
    for (const auto& [args, status, written] : cases) {
        const Outcome r = run_command("cd " + dir.string() + " && " + p2p(args));
        EXPECT_EQ(r.status, status) << args << ": " << r.err;
        if (!written.empty()) {
            EXPECT_TRUE(fs::exists(dir / "out" / written)) << args;
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 3);
}

// Output names say what is written, and one picture or several follow the
// same rules for folders. Refused names write nothing.
TEST_F(Photo2Panel, OutputNamesSayWhatIsWritten) {
    for (const char* name : {"a.png", "b.png"})
        save(halves(48, 30, {250, 180, 20}, {20, 90, 200}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / name);
    fs::create_directories(dir / "there");
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"a.png -o x.png", 2, "-o x.png would be written as a 24-bit BMP"},
        {"-8 a.png -o eight.bmp", 2, "-o eight.bmp names a BMP, but eight colours"},
        {"a.png -o x.bmp --preview p.jpg", 2, "--preview p.jpg would be written as a PNG"},
        {"a.png -o x.bin", 2, "-o x.bin names a packed buffer"},
        {"a.png -o x.bmp --format packed4", 2, "-o x.bmp would be written as a packed buffer"},
        {"a.png -o x.bmp --save-fitted f.png", 2, "--save-fitted f.png"},
        {"a.png b.png -o same.bmp", 2, "-o same.bmp names a file, but several pictures need a folder"},
        {"a.png b.png -o many --preview p.png", 2, "--preview p.png names a file"},
        {"a.png -o c.h", 0, ""},
        {"-8 a.png -o e.pgm", 0, ""},
        {"a.png -o new1/x.bmp --preview new2/deeper/p.png", 0, ""},
        {"a.png -o there --preview there", 0, ""},
        {"a.png -o made/ --save-fitted fitted/", 0, ""},
        {"a.png b.png -o many --preview many/", 0, ""}};
    for (const auto& [args, status, message] : cases) {
        const Outcome r = run_command("cd " + dir.string() + " && " + p2p("-q --size 40x30 " + args));
        EXPECT_EQ(r.status, status) << args << ": " << r.err;
        EXPECT_EQ(r.out, "") << args;
        if (status == 2) {
            EXPECT_NE(r.err.find("photo2panel: " + message), std::string::npos) << args << ": " << r.err;
        }
    }
    std::string written;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) written += fs::relative(entry.path(), dir).string() + " ";
    std::vector<std::string> names;
    for (std::stringstream words(written); words >> written;) names.push_back(written);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.png", "b.png", "c.h", "e.pgm", "fitted/a.bmp", "made/a.bmp",
                                               "many/a.bmp", "many/a.png", "many/b.bmp", "many/b.png", "new1/x.bmp",
                                               "new2/deeper/p.png", "there/a.bmp", "there/a.png"}));
}

// Quiet means quiet: the bundled photographs and an AVIF whose loader logs a
// warning print nothing with -q; without it the warning is one line naming
// the file. A failed write prints the program's message alone.
TEST_F(Photo2Panel, QuietMeansQuiet) {
    Image photo(vips_image_new_from_file(PHOTOS_DIR "/garden_800x480.ppm", nullptr));
    ASSERT_NE(photo, nullptr);
    const fs::path avif = dir / "garden.avif";
    const bool heif =
        vips_heifsave(photo.get(), avif.c_str(), "compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1, nullptr) == 0;
    const std::string pictures = std::string(PHOTOS_DIR "/*.ppm ") + (heif ? avif.string() : "");
    std::string message;
    Outcome r =
        run_command(p2p("-q " + pictures + " -o " + (dir / "out").string() + " --preview " + (dir / "out").string()));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    if (heif) {
        r = run_command(p2p(avif.string() + " -o " + (dir / "one.bmp").string()));
        const std::string named = "photo2panel: " + avif.string() + ": warning: ";
        EXPECT_NE(r.err.find(named + "heifload: ignoring nclx profile\n"), std::string::npos) << r.err;
        for (std::stringstream lines(r.err); std::getline(lines, message);) EXPECT_EQ(message.rfind(named, 0), 0u);
    }
    r = run_command(p2p(PHOTOS_DIR "/garden_800x480.ppm -o /proc/garden.bmp --save-fitted /proc/fitted.bmp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

// --fit cover on a wide picture whose subject, strong red with fine detail,
// sits in its right third: the centred crop cuts it off, attention and
// entropy keep it.
TEST_F(Photo2Panel, CropKeepsTheSubject) {
    std::vector<unsigned char> pixels(300 * 100 * 3, 128);
    for (int y = 0; y < 100; ++y)
        for (int x = 210; x < 290; ++x)
            if ((x / 3 + y / 3) % 2 == 0)
                pixels[(std::size_t(y) * 300 + x) * 3 + 1] = pixels[(std::size_t(y) * 300 + x) * 3 + 2] = 0;
            else
                pixels[(std::size_t(y) * 300 + x) * 3] = 240;
    save(Image(vips_image_new_from_memory_copy(pixels.data(), pixels.size(), 300, 100, 3, VIPS_FORMAT_UCHAR)),
         dir / "wide.png");
    for (const auto& [crop, keeps] : {std::pair{"centre", false}, {"attention", true}, {"entropy", true}}) {
        const fs::path fitted = dir / (std::string(crop) + ".ppm");
        const Outcome r = run_command(p2p((dir / "wide.png").string() + " -o " + (dir / "p.bmp").string() +
                                          " --size 50x50 --crop " + crop + " --save-fitted " + fitted.string()));
        ASSERT_EQ(r.status, 0) << r.err;
        int red = 0;
        for (int x = 0; x < 50; x += 2) red += pixel(fitted, x, 25)[0] > 160;
        EXPECT_EQ(red > 5, keeps) << crop << ": " << red;
    }
}

// The fitted picture, given to Morva6_render or ulmarender with the same
// settings, gives the same panel file (TFT transfers change its size).
TEST_F(Photo2Panel, SameBytesAsTheRenderers) {
    save(halves(90, 70, {250, 180, 20}, {20, 90, 200}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB), dir / "in.png");
    // photo2panel takes the table made for the kernel of its --dither.
    const auto six = [](const std::string& kernel) {
        return std::string(MORVA6_RENDER_EXE) + " -l " + SAMPLES_DIR + "/Morva6_Render_LUT_Default_v2_" + kernel +
               ".bin -i FITTED.bmp -o THEIRS ";
    };
    const std::string eight = std::string(ULMARENDER_EXE) + " ";
    const std::string data = std::string(SAMPLES_DIR) + "/ULMA_SAMPLE01_TC_03";
    const std::vector<std::pair<std::string, std::string>> settings = {
        {"", six("stucki")},
        {"--dither 3 --mode 3 --tft 1", six("jarvis") + "-d 3 -m 3 -t 1"},
        {"--dither 1 --mode 2 --hue 30 --saturation 20 --contrast -10 --gamma 1.2 --tft 5",
         six("floyd") + "-d 1 -m 2 -h 30 -s 20 -c -10 -g 1.2 -t 5"},
        {"-8", eight + "FITTED.ppm THEIRS " + data + " 25"},
        {"-r " + data + " -T -3 -c 30 -b -10", eight + "-c 30 -b -10 FITTED.ppm THEIRS " + data + " -3"}};
    for (const auto& [ours, theirs] : settings) {
        const bool eight_colours = ours.find("-8") == 0 || ours.find("-r") == 0;
        const fs::path fitted = dir / (eight_colours ? "fitted.ppm" : "fitted.bmp");
        const std::string panel = eight_colours ? ".pgm" : ".bmp";
        const Outcome a =
            run_command(p2p((dir / "in.png").string() + " -o " + (dir / "a").string() + panel + " --size 61x37 " +
                            ours + " --save-fitted " + fitted.string() + " --preview " + (dir / "a.png").string()));
        ASSERT_EQ(a.status, 0) << a.err;
        std::string command = theirs;
        command.replace(command.find("FITTED"), 6, (dir / "fitted").string());
        command.replace(command.find("THEIRS"), 6, (dir / "b").string() + panel);
        ASSERT_EQ(run_command(command).status, 0) << command;
        EXPECT_EQ(bytes_of(dir / ("a" + panel)), bytes_of(dir / ("b" + panel))) << ours;
        EXPECT_EQ(bytes_of(dir / "a.png").substr(1, 3), "PNG");
    }
}

// Pictures rendered at once give the files of one after another, and the
// lines come in the order of the pictures: progress, the failure of a
// missing picture, and the renderer's warning about a band without colour
// LUT, which names the picture (not with --quiet).
TEST_F(Photo2Panel, SeveralPicturesAtOnce) {
    const fs::path data = dir / "ULMA_SAMPLE01_TC_03";
    fs::copy(std::string(SAMPLES_DIR) + "/ULMA_SAMPLE01_TC_03", data);
    fs::remove(data / "ULMA_SAMPLE01_lut_25Cto40C_03.bin");
    std::string pictures;
    for (int k = 0; k < 4; ++k) {
        const std::string name = "p" + std::to_string(k) + ".png";
        save(halves(50 + 7 * k, 40, {40.0 * k, 200, 30}, {200, 10, 60.0 * k}, VIPS_FORMAT_UCHAR,
                    VIPS_INTERPRETATION_sRGB),
             dir / name);
        pictures += (dir / name).string() + (k == 1 ? " " + (dir / "gone.png").string() : "") + " ";
    }
    // The progress lines without their times and output folder.
    const auto lines_without_times = [](std::string text, const std::string& out) {
        for (std::size_t at; (at = text.find(" s\n")) != std::string::npos;) text.replace(at - 6, 9, "\n");
        for (std::size_t at; (at = text.find(out)) != std::string::npos;) text.replace(at, out.size(), "OUT");
        return text;
    };
    std::string first_out, first_err;
    for (const char* jobs : {"1", "3"}) {
        const std::string out = (dir / (std::string("out") + jobs)).string();
        const Outcome r = run_command(p2p(pictures + "-j " + jobs + " -r " + data.string() + " -T 30 --size 30x20 -o " +
                                          out + " --preview " + out + "p"));
        EXPECT_EQ(r.status, 1) << jobs;
        if (first_out.empty()) {
            first_out = lines_without_times(r.out, out);
            first_err = r.err;
            EXPECT_NE(first_out.find("[5/5] p3.png"), std::string::npos) << first_out;
            EXPECT_LT(r.err.find("p1.png: warning: cannot read the colour LUT file"), r.err.find("gone.png")) << r.err;
            EXPECT_LT(r.err.find("gone.png"), r.err.find("p2.png: warning")) << r.err;
            continue;
        }
        EXPECT_EQ(lines_without_times(r.out, out), first_out);
        EXPECT_EQ(r.err, first_err);
        for (const char* file : {"p0.pgm", "p1.pgm", "p2.pgm", "p3.pgm"}) {
            EXPECT_EQ(bytes_of(dir / "out1" / file), bytes_of(dir / out / file)) << file;
            const std::string png = std::string(file).replace(3, 3, "png");
            EXPECT_EQ(bytes_of(dir / "out1p" / png), bytes_of(dir / (out + "p") / png)) << png;
        }
    }
    const Outcome quiet =
        run_command(p2p("-q " + pictures + "-r " + data.string() + " -T 30 -o " + (dir / "q").string()));
    EXPECT_EQ(quiet.err.find("warning"), std::string::npos) << quiet.err;
}

// Installed into a scratch prefix, the program finds its LUT file and the
// sample render data alone.
TEST_F(Photo2Panel, InstalledProgramFindsItsData) {
    const fs::path prefix = dir / "prefix";
    ASSERT_EQ(run_command(std::string(CMAKE_EXE) + " --install " + BUILD_DIR + " --prefix " + prefix.string()).status,
              0);
    save(halves(120, 200, {250, 250, 250}, {200, 30, 30}, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB),
         dir / "portrait.jpg");
    const std::string program = (prefix / "bin/photo2panel").string() + " " + (dir / "portrait.jpg").string();
    Outcome r = run_command(program + " -o " + (dir / "panel.bmp").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::file_size(dir / "panel.bmp"), 54u + 800u * 480u * 3u);  // turned onto the 800 x 480 panel
    r = run_command(program + " -8 --size 7.3in -o " + (dir / "panel.pgm").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::file_size(dir / "panel.pgm"), 15u + 800u * 480u);
}

}  // namespace
