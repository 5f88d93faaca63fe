// Output identity across speed work: every render path, every engine build,
// the TFT transfers, the image adjustment, the BMP layer and a whole program
// run are hashed on seeded pictures (odd sizes included) and compared with
// the hashes the straightforward implementation produced. The recorded
// values are never re-recorded: a mismatch means an output byte changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <morva6/morva6.h>
#include <morva6/morva6_image.h>

#include "morva6/dither/engines.h"
#include "morva6/dither/frame.h"
#include "morva6/dither/scalar.h"
#include "morva6/dither/sources.h"
#include "morva6/dither/dithering.h"
#include "morva6/core/render_context.h"
#include "morva6/core/tft_transfer.h"
#include "tests/support/support.h"

namespace {

using test_support::Hash;
using test_support::Random;

std::uint8_t clamp_byte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

// Integer-only picture: gradients, flat boxes (some of pure extremes, which
// push errors far outside 0..255), and noise. Three bytes per pixel.
std::vector<std::uint8_t> test_picture(int width, int height, std::uint64_t seed) {
    Random random(seed);
    struct Box {
        int x0, y0, x1, y1;
        std::uint8_t c[3];
    };
    std::vector<Box> boxes(4);
    for (auto& b : boxes) {
        b.x0 = random.below(width);
        b.y0 = random.below(height);
        b.x1 = b.x0 + 1 + random.below(std::max(1, width / 2));
        b.y1 = b.y0 + 1 + random.below(std::max(1, height / 2));
        for (auto& c : b.c) c = random.below(3) == 0 ? static_cast<std::uint8_t>(255 * random.below(2))
                                                      : static_cast<std::uint8_t>(random.below(256));
    }
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* out = picture.data();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, out += 3) {
            const int noise = random.below(17) - 8;
            int c[3] = {x * 255 / std::max(1, width - 1) + noise, y * 255 / std::max(1, height - 1) - noise,
                        (x + y) * 255 / std::max(1, width + height - 2) + noise / 2};
            for (const auto& b : boxes)
                if (x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1)
                    for (int i = 0; i < 3; ++i) c[i] = b.c[i];
            for (int i = 0; i < 3; ++i) out[i] = clamp_byte(c[i]);
        }
    return picture;
}

// A LUT block: inks (blue, green, red each) and a table that boosts the
// saturation of each colour, with a little seeded jitter. `tie_inks` gives
// two inks the same colour.
std::vector<std::uint8_t> test_lut(std::uint64_t seed, bool tie_inks) {
    std::vector<std::uint8_t> block(OVEX_LUT_FILE_SIZE);
    const std::uint8_t inks[18] = {28, 26, 30, 200, 205, 210, 40, 190, 205, 45, 50, 170, 70, 130, 55, 140, 70, 45};
    std::copy(std::begin(inks), std::end(inks), block.begin());
    if (tie_inks) std::copy(inks + 6, inks + 9, block.begin() + 12);  // red = yellow
    Random random(seed);
    std::uint8_t* entry = block.data() + 18;
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b, entry += 3) {
                const int red = r * 4 + 2, green = g * 4 + 2, blue = b * 4 + 2;
                const int grey = (red + green + blue) / 3;
                auto boost = [&](int c) { return clamp_byte(grey + (c - grey) * 5 / 4 + random.below(7) - 3); };
                entry[0] = boost(blue);
                entry[1] = boost(green);
                entry[2] = boost(red);
            }
    return block;
}

struct Size {
    int width, height;
};
// Odd and even sizes, single rows and columns, and one above the size from
// which the image adjustment switches to its pair table.
const std::vector<Size> kSizes = {{1, 1}, {2, 3}, {5, 1}, {1, 7}, {3, 2}, {17, 13}, {64, 33}, {97, 61}, {301, 203}};
const Size kLarge = {523, 311};

class GoldenTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_palette_ = morva6::bgr_op;
        saved_table_ = morva6::glut;
    }
    void TearDown() override {
        morva6::bgr_op = saved_palette_;
        morva6::glut = saved_table_;
    }
    static void install(const std::vector<std::uint8_t>& lut) {
        ASSERT_EQ(Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())), OVEX_OK);
    }

private:
    std::array<std::uint8_t, 18> saved_palette_{};
    const std::uint8_t* saved_table_ = nullptr;
};

// Hash of Ovex_Morva6_render over every size, mode and flag pair, for one
// dither code and LUT.
std::uint64_t render_hash(int dither) {
    Hash hash;
    std::uint64_t seed = 100;
    for (const Size s : kSizes) {
        const auto picture = test_picture(s.width, s.height, ++seed);
        for (const auto& [in_bgr, out_bgr] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{1, 0}})
            for (int mode = 1; mode <= 3; ++mode) {
                std::vector<std::uint8_t> out(picture.size(), 0xA5);
                EXPECT_EQ(Ovex_Morva6_render(picture.data(), in_bgr, out.data(), out_bgr, s.width, s.height, dither,
                                             mode),
                          OVEX_OK);
                hash.add(out);
            }
    }
    return hash.value();
}

constexpr std::array<std::uint64_t, 6> kRenderHashes = {
    0xCD1A588CFC4B8AB6ULL, 0x4B572FDC3EB533B5ULL, 0x3BBA0377C4577AF7ULL,
    0x341396AAD313796DULL, 0x55666C9A6625F060ULL, 0x78FD7157F33CC170ULL,
};
constexpr std::array<std::uint64_t, 6> kRenderTiedInksHashes = {
    0x315808988CDBD837ULL, 0x8675C162F305B5E8ULL, 0x054C63CD8157EC21ULL,
    0x4795608994C23D6AULL, 0x7D3340F3B4065628ULL, 0xD82C6A736DC6BD41ULL,
};

TEST_F(GoldenTest, RenderEveryDitherModeAndChannelOrder) {
    const auto lut = test_lut(1, false);
    install(lut);
    for (int dither = 0; dither <= 5; ++dither) EXPECT_EQ(render_hash(dither), kRenderHashes[dither]) << dither;
    const auto tied = test_lut(2, true);
    install(tied);
    for (int dither = 0; dither <= 5; ++dither)
        EXPECT_EQ(render_hash(dither), kRenderTiedInksHashes[dither]) << "tied inks " << dither;
}

constexpr std::array<std::uint64_t, 6> kRenderAllHashes = {
    0xBA9A4A198CC9229DULL, 0xB034CCA04B858766ULL, 0x07DA8D81515F2BBEULL,
    0xC396D8BCF017BE75ULL, 0xE8EF0F0ED5F2E89BULL, 0xB5E796FBFF9F3A97ULL,
};

TEST_F(GoldenTest, RenderAllWritesTheThreeModes) {
    const auto lut = test_lut(3, false);
    install(lut);
    for (int dither = 0; dither <= 5; ++dither) {
        Hash hash;
        std::uint64_t seed = 200;
        for (const Size s : kSizes)
            for (int bgr = 0; bgr <= 1; ++bgr) {
                const auto picture = test_picture(s.width, s.height, ++seed);
                std::vector<std::uint8_t> tcon(picture.size(), 1), aoi(picture.size(), 2), sim(picture.size(), 3);
                EXPECT_EQ(Ovex_Morva6_render_All(picture.data(), bgr, tcon.data(), aoi.data(), sim.data(), nullptr,
                                                 s.width, s.height, dither),
                          OVEX_OK);
                hash.add(tcon);
                hash.add(aoi);
                hash.add(sim);
            }
        EXPECT_EQ(hash.value(), kRenderAllHashes[dither]) << dither;
    }
}

// The engines on a mapped picture: through the entry points (is_bgr 0, 1
// and 2), and each build of the frame on its own (baseline vector cells,
// SSE4.1 vector cells, plain scalar cells). All must give the same indices.
enum class EngineBuild { EntryPoint, Baseline, Sse41, Scalar };

template <class Kernel>
void scalar_dither(const std::vector<std::uint8_t>& mapped, bool bgr, std::uint8_t* out, Size s, bool serpentine) {
    using namespace morva6::diffusion;
    diffuse<Kernel, ScalarCells>(MappedRows{mapped.data(), s.width}, pixel_order_palette(morva6::bgr_op, bgr), out,
                                 s.width, s.height, serpentine);
}

void run_engine(EngineBuild build, int method, const std::vector<std::uint8_t>& mapped, std::uint32_t is_bgr,
                std::uint8_t* out, Size s) {
    const bool serpentine = (method & 1) != 0;
    switch (build) {
        case EngineBuild::EntryPoint: {
            const auto engine = method < 2   ? Ovex_dithering_Floyd_QW
                                : method < 4 ? Ovex_dithering_Jarvis_Judice_Ninkle_QW
                                             : Ovex_dithering_Stucki_QW;
            engine(mapped.data(), is_bgr, out, s.width, s.height, serpentine ? 7 : 0);
            return;
        }
        case EngineBuild::Baseline:
            morva6::diffusion::dither_mapped_picture(method, mapped.data(), is_bgr == 1, out, s.width, s.height);
            return;
        case EngineBuild::Sse41:
#if MORVA6_DIFFUSION_SSE41_BUILD
            morva6::diffusion::sse41_dither_mapped_picture(method, mapped.data(), is_bgr == 1, out, s.width,
                                                           s.height);
#endif
            return;
        case EngineBuild::Scalar:
            if (method < 2)
                scalar_dither<morva6::diffusion::FloydSteinberg>(mapped, is_bgr == 1, out, s, serpentine);
            else if (method < 4)
                scalar_dither<morva6::diffusion::JarvisJudiceNinke>(mapped, is_bgr == 1, out, s, serpentine);
            else
                scalar_dither<morva6::diffusion::Stucki>(mapped, is_bgr == 1, out, s, serpentine);
            return;
    }
}

std::uint64_t engine_hash(EngineBuild build, int method) {
    Hash hash;
    std::uint64_t seed = 300;
    for (const Size s : kSizes) {
        const auto mapped = test_picture(s.width, s.height, ++seed);
        for (std::uint32_t is_bgr : {1u, 0u, 2u}) {
            if (is_bgr == 2 && build != EngineBuild::EntryPoint) continue;
            std::vector<std::uint8_t> out(static_cast<std::size_t>(s.width) * s.height, 0xEE);
            run_engine(build, method, mapped, is_bgr, out.data(), s);
            hash.add(out);
        }
    }
    return hash.value();
}

constexpr std::array<std::uint64_t, 6> kEngineHashes = {
    0x20F96468F85F9D8FULL, 0x02624F8D68DA18ACULL, 0x3E301ECCA2A3FB1AULL,
    0xDA071A2C45419AFDULL, 0xDFD71D91F5464E2DULL, 0x1A1880581AA36644ULL,
};
// The same without the is_bgr 2 run, for the builds called directly.
constexpr std::array<std::uint64_t, 6> kEngineBuildHashes = {
    0xB591547442A397DDULL, 0x2FB5DD1018B57920ULL, 0xCC65AF2974368F02ULL,
    0x026B5B37108EB2F5ULL, 0x8C64444417D524C3ULL, 0xFFCF9C4AE2244236ULL,
};

TEST_F(GoldenTest, EveryEngineBuildGivesTheRecordedIndices) {
    const auto lut = test_lut(4, false);
    install(lut);
    std::vector<EngineBuild> builds = {EngineBuild::Baseline, EngineBuild::Scalar};
#if MORVA6_DIFFUSION_SSE41_BUILD
    if (__builtin_cpu_supports("sse4.1")) builds.push_back(EngineBuild::Sse41);
#endif
    for (int method = 0; method <= 5; ++method) {
        EXPECT_EQ(engine_hash(EngineBuild::EntryPoint, method), kEngineHashes[method]) << method;
        for (const EngineBuild build : builds)
            EXPECT_EQ(engine_hash(build, method), kEngineBuildHashes[method])
                << "method " << method << " build " << static_cast<int>(build);
    }
}

// Every TFT mode on rendered pictures of odd and even sizes.
constexpr std::array<std::uint64_t, 5> kTftHashes = {
    0xABF8E08A37EFD85AULL, 0x637A25CC51DAE98AULL, 0xBB3E44AB09A7B9FDULL,
    0x25721F4FCBEC8949ULL, 0xF33F5F3DAC0596C9ULL,
};

TEST_F(GoldenTest, TftTransfers) {
    const auto lut = test_lut(5, false);
    install(lut);
    for (int mode = 1; mode <= 5; ++mode) {
        Hash hash;
        std::uint64_t seed = 400;
        for (const Size s : kSizes) {
            const auto picture = test_picture(s.width, s.height, ++seed);
            std::vector<std::uint8_t> out(picture.size());
            ASSERT_EQ(Ovex_Morva6_render(picture.data(), 1, out.data(), 1, s.width, s.height, 3, 3), OVEX_OK);
            std::int32_t width = s.width, height = s.height;
            EXPECT_EQ(Ovex_TFT_format_transfer(out.data(), &width, &height, mode), OVEX_OK);
            hash.add_number(width);
            hash.add_number(height);
            hash.add(out.data(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
            // The untouched tail is part of the contract too.
            hash.add(out);
        }
        EXPECT_EQ(hash.value(), kTftHashes[mode - 1]) << mode;
    }
}

// The image adjustment: neutral, each setting alone, all five together, and
// extreme values; small pictures (computed per pixel) and a large one (pair
// table), in three flag combinations.
struct Adjustment {
    int hue, saturation, brightness, contrast;
    double gamma;
};
const std::vector<Adjustment> kAdjustments = {
    {0, 0, 0, 0, 1.0},       {120, 0, 0, 0, 1.0},      {0, 60, 0, 0, 1.0},      {0, -45, 0, 0, 1.0},
    {0, 0, 25, 0, 1.0},      {0, 0, 0, -30, 1.0},      {0, 0, 0, 0, 0.45},      {200, 35, -15, 20, 1.6},
    {360, 100, 100, 100, 2.0}, {-30, -100, -100, -100, 0.0}, {77, 13, 7, -50, 0.8},
};
constexpr std::array<std::uint64_t, 11> kAdjustmentHashes = {
    0xAB3C24ABA79C33ABULL, 0x2BBEC8914FFA5544ULL, 0x9939FEEEFF31D49BULL,
    0x94575222F4C1B622ULL, 0xF23BB5273B92A398ULL, 0xC4B83A6F604EAAD8ULL,
    0x193D411B23E6B883ULL, 0xC6A93C64339D5792ULL, 0x0B8C4081AC66298EULL,
    0xF9E08E4BE85B4560ULL, 0x946750F600B1AF36ULL,
};

TEST(GoldenAdjustment, EverySettingsCombination) {
    for (std::size_t i = 0; i < kAdjustments.size(); ++i) {
        const Adjustment& a = kAdjustments[i];
        Hash hash;
        std::uint64_t seed = 500;
        std::vector<Size> sizes = kSizes;
        sizes.push_back(kLarge);
        for (const Size s : sizes)
            for (const auto& [in_bgr, out_bgr] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{1, 0}}) {
                const auto picture = test_picture(s.width, s.height, ++seed);
                std::vector<std::uint8_t> out(picture.size(), 0x5A);
                EXPECT_EQ(Ovex_image_adjustment(picture.data(), in_bgr, out.data(), out_bgr, s.width, s.height,
                                                a.hue, a.saturation, a.brightness, a.contrast, a.gamma),
                          OVEX_OK);
                hash.add(out);
                // In place, as the sample driver calls it.
                auto in_place = picture;
                Ovex_image_adjustment(in_place.data(), in_bgr, in_place.data(), out_bgr, s.width, s.height, a.hue,
                                      a.saturation, a.brightness, a.contrast, a.gamma);
                EXPECT_EQ(in_place, out);
            }
        EXPECT_EQ(hash.value(), kAdjustmentHashes[i]) << "settings " << i;
    }
}

// ---------------------------------------------------------------------------
// BMP layer and a whole program run.

const test_support::TempDir& scratch() {
    static const test_support::TempDir dir;
    return dir;
}
std::string temp_path(const std::string& name) { return (scratch() / name).string(); }
using test_support::read_bytes;
using test_support::write_file;

// Every 24-bit save with both row orders, read back with both row orders and
// as three stream formats.
constexpr std::uint64_t kBmpStreamsHash = 0x91938A72300D5F51ULL;

TEST(GoldenBmp, SaveAndReadStreams) {
    Hash hash;
    std::uint64_t seed = 600;
    const std::string path = temp_path("stream.bmp");
    for (const Size s : kSizes) {
        const auto picture = test_picture(s.width, s.height, ++seed);
        for (std::uint8_t flip : {0, 1}) {
            ASSERT_EQ(saveBMP_QW(picture.data(), s.width, s.height, path.c_str(), MORVA6_BGR, flip), MORVA6_IMG_OK);
            hash.add(read_bytes(path));
            for (std::int32_t format : {MORVA6_BGR, MORVA6_RGB, MORVA6_BGRA})
                for (std::uint8_t read_flip : {0, 1}) {
                    std::uint8_t* stream = nullptr;
                    std::int32_t width = 0, height = 0;
                    ASSERT_EQ(readBMP_QW(&stream, &width, &height, path.c_str(), format, read_flip), MORVA6_IMG_OK);
                    hash.add_number(width);
                    hash.add_number(height);
                    const int channels = format == MORVA6_BGRA ? 4 : 3;
                    hash.add(stream, static_cast<std::size_t>(width) * height * channels);
                    std::free(stream);
                }
        }
    }
    std::remove(path.c_str());
    EXPECT_EQ(hash.value(), kBmpStreamsHash);
}

// The sample program from LUT file and BMP to BMP, default settings and a
// few others (adjustment, TFT transfer, other methods and modes).
constexpr std::uint64_t kWholeRunsHash = 0xC884E5A41DE62144ULL;

TEST(GoldenProgram, WholeRuns) {
    const std::string lut_path = temp_path("lut.bin");
    const std::string in_path = temp_path("in.bmp");
    const std::string out_path = temp_path("out.bmp");
    write_file(lut_path, test_lut(8, false));
    const Size s{301, 203};
    const auto picture = test_picture(s.width, s.height, 800);
    ASSERT_EQ(saveBMP_QW(picture.data(), s.width, s.height, in_path.c_str(), MORVA6_BGR, 1), MORVA6_IMG_OK);
    const std::vector<std::string> option_sets = {
        "", "-d 1 -m 3", "-d 3 -m 2 -t 1", "-d 2 -t 4", "-d 4 -t 5", "-d 5 -t 3 -m 3",
        "-h 40 -s 20 -b -10 -c 15 -g 1.4", "-t 2 -g 0.7",
    };
    Hash hash;
    for (const std::string& options : option_sets) {
        std::remove(out_path.c_str());
        const std::string command = std::string(MORVA6_RENDER_EXE) + " -i " + in_path + " -o " + out_path + " -l " +
                                    lut_path + " " + options + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        hash.add(read_bytes(out_path));
    }
    for (const auto& p : {lut_path, in_path, out_path}) std::remove(p.c_str());
    EXPECT_EQ(hash.value(), kWholeRunsHash);
}

}  // namespace
