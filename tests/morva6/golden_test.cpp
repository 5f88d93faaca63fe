// Output identity across speed work (the render entry points are hashed at
// several thread counts in tests/threads): every engine build, the TFT
// transfers, the image adjustment, the BMP layer and a whole program
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
#include "morva6/golden_inputs.h"

namespace {

using namespace golden_inputs;
using test_support::Hash;

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
            morva6::diffusion::sse41_dither_mapped_picture(method, mapped.data(), is_bgr == 1, out, s.width, s.height);
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
    0xABF8E08A37EFD85AULL, 0x637A25CC51DAE98AULL, 0xBB3E44AB09A7B9FDULL, 0x25721F4FCBEC8949ULL, 0xF33F5F3DAC0596C9ULL,
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
    {0, 0, 0, 0, 1.0},         {120, 0, 0, 0, 1.0},          {0, 60, 0, 0, 1.0},    {0, -45, 0, 0, 1.0},
    {0, 0, 25, 0, 1.0},        {0, 0, 0, -30, 1.0},          {0, 0, 0, 0, 0.45},    {200, 35, -15, 20, 1.6},
    {360, 100, 100, 100, 2.0}, {-30, -100, -100, -100, 0.0}, {77, 13, 7, -50, 0.8},
};
constexpr std::array<std::uint64_t, 11> kAdjustmentHashes = {
    0xAB3C24ABA79C33ABULL, 0x2BBEC8914FFA5544ULL, 0x9939FEEEFF31D49BULL, 0x94575222F4C1B622ULL,
    0xF23BB5273B92A398ULL, 0xC4B83A6F604EAAD8ULL, 0x193D411B23E6B883ULL, 0xC6A93C64339D5792ULL,
    0x0B8C4081AC66298EULL, 0xF9E08E4BE85B4560ULL, 0x946750F600B1AF36ULL,
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
                EXPECT_EQ(Ovex_image_adjustment(picture.data(), in_bgr, out.data(), out_bgr, s.width, s.height, a.hue,
                                                a.saturation, a.brightness, a.contrast, a.gamma),
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
        "",
        "-d 1 -m 3",
        "-d 3 -m 2 -t 1",
        "-d 2 -t 4",
        "-d 4 -t 5",
        "-d 5 -t 3 -m 3",
        "-h 40 -s 20 -b -10 -c 15 -g 1.4",
        "-t 2 -g 0.7",
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
