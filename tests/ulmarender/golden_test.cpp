// Golden outputs of both renderer versions: seeded pictures of many sizes go
// through the whole file-to-file pipeline in every band that renders, with
// and without the proof, with saturation and lightness offsets and noise of
// a fixed seed (version 0302), and the per-pixel stages run over every 8-bit
// colour. The FNV-1a hashes were recorded from the plain first renderer;
// without options both versions give the same bytes, so they share a row.
//
// Noise is seeded with time(): this program supplies its own time(), which
// returns a fixed instant while a test sets one, and the clock otherwise.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdlib>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ulmarender/engine/channel_order.h"
#include "ulmarender/engine/cielab_diffusion_loop.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/hsl_hsv_processing.h"
#include "ulmarender/engine/panel_codes.h"
#include "ulmarender/engine/render_data.h"
#include "ulmarender/engine/render_picture.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/program/pipeline.h"
#include "ulmarender/program/render_data_files.h"
#include "ulmarender/program/settings.h"
#include "ulmarender/support.h"

namespace {
using namespace ulma;
time_t g_fixed_time = -1;
}  // namespace

extern "C" time_t time(time_t* result) noexcept {
    time_t now = g_fixed_time;
    if (now < 0) {
        timespec clock{};
        clock_gettime(CLOCK_REALTIME, &clock);
        now = clock.tv_sec;
    }
    if (result != nullptr) *result = now;
    return now;
}

namespace {

using namespace ulma_test;

struct Expected {
    std::uint64_t pgm;
    std::uint64_t proof;  // 0: no proof file
    bool operator==(const Expected&) const = default;
};

// clang-format off
const std::map<std::string, Expected> kPipeline = {
    {"1x1_s11_t-30_p", {0x0A550139CC067D94ull, 0x8CCDA8972697C5FDull}},
    {"1x1_s11_t-10_p", {0x0A550139CC067D94ull, 0x8CCDA8972697C5FDull}},
    {"1x1_s11_t5_p", {0x0A550139CC067D94ull, 0xB67EE398EFEC6070ull}},
    {"1x1_s11_t25_p", {0x0A550139CC067D94ull, 0xCDBF06974A250A8Full}},
    {"1x1_s11_t30_p", {0x0A550939CC068B2Cull, 0xFF06C29919EAD299ull}},
    {"1x9_s11_t-30_p", {0xFE4873911E71FEDCull, 0x9CC02276AEBEECFCull}},
    {"1x9_s11_t-10_p", {0xFE4873911E71FEDCull, 0x9CC02276AEBEECFCull}},
    {"1x9_s11_t5_p", {0x8453FE78EDD17DA4ull, 0x4CDE00DCDE4F593Full}},
    {"1x9_s11_t25_p", {0xB3C5F7833EC92FBCull, 0x6636F424CA925DA4ull}},
    {"1x9_s11_t30_p", {0x888F3C88B11F5A14ull, 0xCEBDC2874C552FDAull}},
    {"9x1_s11_t-30_p", {0x73DACD7CA7017F2Cull, 0x8B7CC621D4E7F2AFull}},
    {"9x1_s11_t-10_p", {0x73DACD7CA7017F2Cull, 0x8B7CC621D4E7F2AFull}},
    {"9x1_s11_t5_p", {0xA04624D4281A411Cull, 0xC55F5EA080182AD5ull}},
    {"9x1_s11_t25_p", {0x73DACD7CA7017F2Cull, 0xD517A0A48558B716ull}},
    {"9x1_s11_t30_p", {0x783DFD7628BDFAECull, 0xE2A47DD6DC82A8BDull}},
    {"2x2_s11_t-30_p", {0xFBCF88F54D4C177Cull, 0xC9E7087DE0BC9AE1ull}},
    {"2x2_s11_t-10_p", {0xFBCF88F54D4C177Cull, 0xC9E7087DE0BC9AE1ull}},
    {"2x2_s11_t5_p", {0xD0F4D936C4B5722Cull, 0x9DD663BD88FC2015ull}},
    {"2x2_s11_t25_p", {0xFBCF88F54D4C177Cull, 0x29DE5B6CFDA9A153ull}},
    {"2x2_s11_t30_p", {0x16C4F1BC5009FAD4ull, 0xF9941F1DB140DD10ull}},
    {"3x3_s11_t-30_p", {0x8DF79DD6F9278FCCull, 0x5C25AAE5ECCFEC5Aull}},
    {"3x3_s11_t-10_p", {0x8DF79DD6F9278FCCull, 0x5C25AAE5ECCFEC5Aull}},
    {"3x3_s11_t5_p", {0x861DA0D08723AAACull, 0xEE9F989FB9993D4Cull}},
    {"3x3_s11_t25_p", {0x18FFED51E4631C44ull, 0x6AD5EAA39F225719ull}},
    {"3x3_s11_t30_p", {0xA6397120E1DEE62Cull, 0xDCDEEC64879DFDF2ull}},
    {"2x17_s11_t-30_p", {0x6E2444B0447C101Eull, 0x941A3BD0232A09A3ull}},
    {"2x17_s11_t-10_p", {0x6E2444B0447C101Eull, 0x941A3BD0232A09A3ull}},
    {"2x17_s11_t5_p", {0x5EC104C78106DEFEull, 0xEDCCC847B47DCBCAull}},
    {"2x17_s11_t25_p", {0x3A28B722B5EC0CD6ull, 0x3EE748960403F74Dull}},
    {"2x17_s11_t30_p", {0x0C11CB1E02042A0Eull, 0x9598FBBCC5E35365ull}},
    {"97x61_s11_t-30_p", {0x8F544B863584EFB9ull, 0x1F8091CC2C6548A5ull}},
    {"97x61_s11_t-10_p", {0x8F544B863584EFB9ull, 0x1F8091CC2C6548A5ull}},
    {"97x61_s11_t5_p", {0x8EB2BBA02A234349ull, 0xD3F14855BDC34D9Cull}},
    {"97x61_s11_t25_p", {0x640C0B49FA541361ull, 0xF10CF0B17BF33816ull}},
    {"97x61_s11_t30_p", {0x82E1DD277006EFD1ull, 0x21A7336486E2B073ull}},
    {"320x240_s11_t-30_p", {0x62A3DB85AF9DCFF3ull, 0xFC8DC6EAC3EECF7Aull}},
    {"320x240_s11_t-10_p", {0x62A3DB85AF9DCFF3ull, 0xFC8DC6EAC3EECF7Aull}},
    {"320x240_s11_t5_p", {0x080DDFD4F7E3643Bull, 0x7889929D43485A76ull}},
    {"320x240_s11_t25_p", {0x07FD963C8905E39Bull, 0xF09A1A1040AD4497ull}},
    {"320x240_s11_t30_p", {0x2F9A5CED2AC33A4Bull, 0xA355AD51BC21489Cull}},
    {"1x9_s11_t-10", {0xFE4873911E71FEDCull, 0x0000000000000000ull}},
    {"1x9_s11_t25", {0xB3C5F7833EC92FBCull, 0x0000000000000000ull}},
    {"1x9_s11_t30", {0x888F3C88B11F5A14ull, 0x0000000000000000ull}},
    {"3x3_s11_t-10", {0x8DF79DD6F9278FCCull, 0x0000000000000000ull}},
    {"3x3_s11_t25", {0x18FFED51E4631C44ull, 0x0000000000000000ull}},
    {"3x3_s11_t30", {0xA6397120E1DEE62Cull, 0x0000000000000000ull}},
    {"97x61_s11_t-10", {0x8F544B863584EFB9ull, 0x0000000000000000ull}},
    {"97x61_s11_t25", {0x640C0B49FA541361ull, 0x0000000000000000ull}},
    {"97x61_s11_t30", {0x82E1DD277006EFD1ull, 0x0000000000000000ull}},
    {"320x240_s11_t-10", {0x62A3DB85AF9DCFF3ull, 0x0000000000000000ull}},
    {"320x240_s11_t25", {0x07FD963C8905E39Bull, 0x0000000000000000ull}},
    {"320x240_s11_t30", {0x2F9A5CED2AC33A4Bull, 0x0000000000000000ull}},
    {"97x61_s23_t5_p_b-1000", {0x0B35898F94EE0999ull, 0x18A7DB2C4380E6A4ull}},
    {"97x61_s23_t5_p_b150", {0x38689107717A0F11ull, 0xEA5A2F4FBD3DCD31ull}},
    {"97x61_s23_t5_p_c-1000_b75", {0x5540DEC165D59631ull, 0xBACDBB509A8BB995ull}},
    {"97x61_s23_t5_p_c-355", {0xE15E3EA4512A0249ull, 0x714D9B86DC043259ull}},
    {"97x61_s23_t5_p_c1000_b1000", {0x5864EDEF18949BE1ull, 0x2D94A14476B8E799ull}},
    {"97x61_s23_t5_p_c200", {0x47D7AB5EA9432381ull, 0x8A79AA1155D7CAF2ull}},
    {"97x61_s23_t5_p_c400_b-200", {0x7F2B71A80127DA89ull, 0x446DACF55F1D03CFull}},
    {"97x61_s23_t25_p_b-1000", {0x38C22D20D7EA0F81ull, 0xFA9267DABB489C8Eull}},
    {"97x61_s23_t25_p_b150", {0xE9DA3121F84CBE89ull, 0x95984EE2EC055AECull}},
    {"97x61_s23_t25_p_c-1000_b75", {0x74B7312892963F41ull, 0xB9B92714FD0E6462ull}},
    {"97x61_s23_t25_p_c-355", {0x885CDA131209E759ull, 0x6C6379834E71DF4Aull}},
    {"97x61_s23_t25_p_c1000_b1000", {0x5864EDEF18949BE1ull, 0x334ACCA1645FC112ull}},
    {"97x61_s23_t25_p_c200", {0xE344781633F2D2A1ull, 0xB58740892E4CE670ull}},
    {"97x61_s23_t25_p_c400_b-200", {0x9A1B52367A0735B9ull, 0x4FA1E1A434460A29ull}},
    {"97x61_s23_t30_p_c200", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"320x240_s23_t5_p_b-1000", {0xF305B0E0D50ED9F3ull, 0x926C2CAFB3FF5820ull}},
    {"320x240_s23_t5_p_b150", {0xAF87FC6DB5ECC053ull, 0x73EAA561DD183556ull}},
    {"320x240_s23_t5_p_c-1000_b75", {0xDFC5F71A70FFCC1Bull, 0x9921F02E537B63CBull}},
    {"320x240_s23_t5_p_c-355", {0x2F4BC888E04D1C4Bull, 0xE92B2E56DC723C83ull}},
    {"320x240_s23_t5_p_c1000_b1000", {0xBB3541A94FD9D9F3ull, 0x5A3D22D8548B5420ull}},
    {"320x240_s23_t5_p_c200", {0x2855B395BFEDB5EBull, 0x4464F26312AE293Aull}},
    {"320x240_s23_t5_p_c400_b-200", {0xF979F2356EEA3D9Bull, 0x49C30D1D76EBF6A5ull}},
    {"320x240_s23_t25_p_b-1000", {0x0D22D8283BBDD9F3ull, 0x486F037DA8E19020ull}},
    {"320x240_s23_t25_p_b150", {0xAE7E26B02B9B3DFBull, 0x50DE378F5B84EF1Dull}},
    {"320x240_s23_t25_p_c-1000_b75", {0x94596E19F6E3FE2Bull, 0x36F9C2E88FFDCA60ull}},
    {"320x240_s23_t25_p_c-355", {0xEB661A44774DBB6Bull, 0x3A8CEEA42910E582ull}},
    {"320x240_s23_t25_p_c1000_b1000", {0xBB3541A94FD9D9F3ull, 0x6EEC68DF4BF0A820ull}},
    {"320x240_s23_t25_p_c200", {0x958CEE8B782DFD7Bull, 0xBBBFCDAB0C833378ull}},
    {"320x240_s23_t25_p_c400_b-200", {0x7FC83C9AF9105843ull, 0xDF3A4CA3C4B4409Bull}},
    {"320x240_s23_t30_p_c200", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"97x61_s31_t25_p_n1", {0xAC66267F53729699ull, 0x0E0000008EBAA6D9ull}},
    {"97x61_s31_t25_p_n2", {0x9C18532ED20CAD71ull, 0x1C0CB0C8DB06D2F2ull}},
    {"97x61_s31_t25_p_n7", {0xF6C5B668FBE20471ull, 0xAD0208836372E1D5ull}},
    {"97x61_s31_t25_p_n40", {0x3A6BEC454638CD41ull, 0x91039F56E057EC16ull}},
    {"97x61_s31_t25_p_n255", {0x7DDA935564E20191ull, 0xCA0EECDAC5A19135ull}},
    {"97x61_s31_t-10_p_c300_b-100_n12", {0xA525EB7A55F20B01ull, 0xE53509D1722C479Bull}},
    {"320x240_s31_t25_p_n1", {0xF2C38ECD05BE6323ull, 0x4B4EDCD670337C19ull}},
    {"320x240_s31_t25_p_n2", {0xC8C124AD591A3A0Bull, 0x368828AE36A8BD15ull}},
    {"320x240_s31_t25_p_n7", {0xA6AE0464338CB99Bull, 0xDC060E8F1AC9DD27ull}},
    {"320x240_s31_t25_p_n40", {0x74B7425C6CB46763ull, 0x6547D03F8460BA06ull}},
    {"320x240_s31_t25_p_n255", {0x8454FDDF40836783ull, 0x2274D0B7F3749E86ull}},
    {"320x240_s31_t-10_p_c300_b-100_n12", {0x8552961AE80FDE3Bull, 0x4F1F0A72744FE1F3ull}},
    {"300x50_s100_t25_p", {0xA0C5D01B3F20648Aull, 0x5AD3DFBD76C34C85ull}},
    {"301x49_s101_t25_p", {0x645AEDA36F5DF345ull, 0x3A159C02A70DA37Cull}},
    {"302x48_s102_t25_p", {0x02FD6BF73F315CF3ull, 0xE9014A7FC4C3B318ull}},
    {"303x47_s103_t25_p", {0x6A4ACB0EEA8C1455ull, 0x6595D92A1DFEF9A1ull}},
    {"304x46_s104_t25_p", {0xB8B5CFAB6ED42683ull, 0x01CA29375B26D198ull}},
    {"305x45_s105_t25_p", {0x1885BA7A85A963BDull, 0xF376BA6BC2C8851Eull}},
};

const std::map<std::string, std::uint64_t> kStages = {
    {"color_enhance_0", 0x6B23A3AE31A61CA6ull},
    {"color_enhance_1", 0xCE6B8E63B2E79BD4ull},
    {"color_enhance_2", 0xCE6B8E63B2E79BD4ull},
    {"color_enhance_3", 0x45D5554570D04735ull},
    {"color_enhance_4", 0x7AAC005C88BAED8Eull},
    {"color_enhance_5", 0xC80EB715A214D67Aull},
    {"color_enhance_6", 0x313A4DB421089EEBull},
    {"enhance_green", 0xA004992E293CFD35ull},
    {"gamut_clip", 0x761DC822131BA3FBull},
    {"image_processing_m1_0", 0x2BC78986C219297Full},
    {"image_processing_m1_1", 0x3EB1B6B2CA3EBCC7ull},
    {"image_processing_m1_2", 0x06772B328010D136ull},
    {"image_processing_m1_3", 0xB571D3A457E49231ull},
    {"image_processing_m1_4", 0x386E086C5EDF2F25ull},
    {"image_processing_m1_5", 0x325DBC5E2B4CA8F2ull},
    {"image_processing_m2_0", 0x5E5E044C125AEEF7ull},
    {"image_processing_m2_1", 0xCD38D577F80034C9ull},
    {"image_processing_m2_2", 0xDD169EDE25416488ull},
    {"image_processing_m2_3", 0x0513250A080D84CFull},
    {"image_processing_m2_4", 0x2A5437B15AEB842Dull},
    {"image_processing_m2_5", 0xA0C98603B5C97F68ull},
    {"image_processing_m3_0", 0x2BC78986C219297Full},
    {"image_processing_m3_1", 0x3EB1B6B2CA3EBCC7ull},
    {"image_processing_m3_2", 0x06772B328010D136ull},
    {"image_processing_m3_3", 0xB571D3A457E49231ull},
    {"image_processing_m3_4", 0xFB5C82383403FA05ull},
    {"image_processing_m3_5", 0x97EA39CF78375AADull},
    {"image_processing_m4_0", 0x5E5E044C125AEEF7ull},
    {"image_processing_m4_1", 0xCD38D577F80034C9ull},
    {"image_processing_m4_2", 0xDD169EDE25416488ull},
    {"image_processing_m4_3", 0x0513250A080D84CFull},
    {"image_processing_m4_4", 0xBCAF1B93B4741DF3ull},
    {"image_processing_m4_5", 0x97EA39CF78375AADull},
    {"lab_of_bytes", 0x5B5BA5CBC3037339ull},
    {"nearest_five", 0x1D5C23021374CF11ull},
    {"nearest_pale", 0x488E81D2D7EC0777ull},
    {"nearest_repeats", 0x64102078EDD78EAAull},
    {"nearest_typical", 0x3A06E6CE9683F012ull},
    {"pass_error", 0x9108080FFC509AC7ull},
    {"color_enhance_lattice", 0x920BB38B8D753B6Aull},
};
// clang-format on

struct Options {
    bool proof = true;
    double sat = 0;
    double light = 0;
    int noise = -1;
};

struct Size {
    int w, h;
};

std::string case_name(Size size, std::uint64_t seed, int temp, const Options& o) {
    std::string name = std::to_string(size.w) + "x" + std::to_string(size.h) + "_s" + std::to_string(seed) + "_t" +
                       std::to_string(temp) + (o.proof ? "_p" : "");
    if (o.sat != 0) name += "_c" + std::to_string(static_cast<int>(o.sat * 10));
    if (o.light != 0) name += "_b" + std::to_string(static_cast<int>(o.light * 10));
    if (o.noise > 0) name += "_n" + std::to_string(o.noise);
    return name;
}

void set_options(const Options& o, std::uint64_t seed) {
    gProof = o.proof ? 1 : 0;
    gSat_offset = o.sat;
    gLight_offset = o.light;
    gPreprocess = (o.sat != 0 || o.light != 0) ? 1 : 0;
    gNoise_range = o.noise;
    g_fixed_time = o.noise > 0 ? static_cast<time_t>(1700000000 + seed) : -1;
}

class Golden : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>();
        lot_dir_ = make_render_data(dir_->path());
    }
    static void TearDownTestSuite() {
        unsetenv("MORVA6_THREADS");
        dir_.reset();
    }
    void SetUp() override { ASSERT_TRUE(open_render_data_of_run(lot_dir_.c_str())); }
    void TearDown() override { set_options(Options{false}, 0); }

    // Renders the picture of `size` and `seed` through the file pipeline and
    // compares the hashes of the files written with the recorded ones. The
    // cases take turns at 1, 2, 3 and 7 threads.
    static void check(const UlmaVersion& version, Size size, std::uint64_t seed, int temp, const Options& o) {
        const std::string name = case_name(size, seed, temp, o);
        static const char* const kThreadCounts[] = {"1", "2", "3", "7"};
        static int turn = 0;
        setenv("MORVA6_THREADS", kThreadCounts[turn++ % 4], 1);
        const std::string input = *dir_ / "in.ppm", output = *dir_ / "out.pgm", proof = *dir_ / "out_proof.ppm";
        write_file(input, ppm(size.w, size.h, photo_like_rgb(size.w, size.h, seed)));
        fs::remove(output);
        fs::remove(proof);
        set_options(o, seed);
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(my_ulma_render(version, input.c_str(), output.c_str(), lot_dir_.c_str(), temp)) << name;
        ::testing::internal::GetCapturedStdout();
        const Expected actual{fnv1a64(read_file(output)), fs::exists(proof) ? fnv1a64(read_file(proof)) : 0};
        const auto found = kPipeline.find(name);
        ASSERT_NE(found, kPipeline.end()) << name;
        EXPECT_EQ(actual, found->second) << name << " " << version.version_line;
    }

    static inline std::unique_ptr<TempDir> dir_;
    static inline std::string lot_dir_;
};

// Single rows and columns, the smallest sizes with and without interior
// pixels, odd sizes; -10 and 25 lie on boundaries and belong to the band
// below, -30 is below the table, 30 is a band without LUT.
TEST_F(Golden, EverySizeInEveryBandBothVersions) {
    for (const UlmaVersion* version : {&kUlma0302, &kUlma0301}) {
        for (const Size size :
             {Size{1, 1}, Size{1, 9}, Size{9, 1}, Size{2, 2}, Size{3, 3}, Size{2, 17}, Size{97, 61}, Size{320, 240}}) {
            for (const int temp : {-30, -10, 5, 25, 30}) check(*version, size, 11, temp, Options{});
        }
        for (const Size size : {Size{1, 9}, Size{3, 3}, Size{97, 61}, Size{320, 240}}) {
            for (const int temp : {-10, 25, 30}) check(*version, size, 11, temp, Options{false});
        }
        for (int seed = 100; seed < 106; ++seed) check(*version, Size{200 + seed, 150 - seed}, seed, 25, Options{});
    }
}

TEST_F(Golden, OffsetsAndNoiseOfVersion0302) {
    const std::pair<double, double> offsets[] = {{20, 0},   {-35.5, 0}, {0, 15},    {0, -100},
                                                 {40, -20}, {100, 100}, {-100, 7.5}};
    for (const Size size : {Size{97, 61}, Size{320, 240}}) {
        for (const auto& [sat, light] : offsets) {
            for (const int temp : {5, 25}) check(kUlma0302, size, 23, temp, Options{true, sat, light});
        }
        check(kUlma0302, size, 23, 30, Options{true, 20, 0});  // no LUT: no adjustment either
        for (const int noise : {1, 2, 7, 40, 255}) check(kUlma0302, size, 31, 25, Options{true, 0, 0, noise});
        check(kUlma0302, size, 31, -10, Options{true, 30, -10, 12});
    }
}

// The in-memory entry point gives the planes the files hold.
TEST_F(Golden, InMemoryRenderingMatchesTheFiles) {
    const Size size{97, 61};
    const std::vector<unsigned char> rgb = photo_like_rgb(size.w, size.h, 11);
    RenderData data;
    ASSERT_EQ(open_render_data(lot_dir_, data).problem, OpenProblem::none);
    Settings settings;
    settings.proof = true;
    settings.threads = 3;
    Rendering out;
    ASSERT_EQ(render_picture(data, settings, rgb, size.w, size.h, 5, out), RenderProblem::none);
    const std::string header = "\n97 61\n255\n";
    const Expected actual{fnv1a64(std::string(out.panel_codes.begin(), out.panel_codes.end()), fnv1a64("P5" + header)),
                          fnv1a64(std::string(out.proof_rgb.begin(), out.proof_rgb.end()), fnv1a64("P6" + header))};
    EXPECT_EQ(actual, kPipeline.at("97x61_s11_t5_p"));
    const unsigned char code_of_index[8] = {0, 32, 40, 48, 8, 24, 16, 56};
    for (std::size_t n = 0; n < out.indices.size(); ++n) ASSERT_EQ(out.panel_codes[n], code_of_index[out.indices[n]]);
}

// The portable build of the diffusion gives the recorded bytes too, at any
// thread count (the pipeline takes the fused multiply-add build where the
// processor has it).
TEST_F(Golden, PortableDiffusionBuildGivesTheRecordedBytes) {
    std::vector<unsigned char> picture = photo_like_rgb(320, 240, 11), enhanced(320 * 240 * 3);
    rgb_bgr_img_buf_convert(picture);
    ASSERT_EQ(color_enhance(Settings{}, 320, 240, picture.data(), enhanced.data(),
                            special_get_file_temp(lot_dir_.c_str(), 25).c_str()),
              0);
    std::string error;
    const DiffusionPalette palette =
        prepare_palette(*read_palette_data(special_get_eo_file_temp(lot_dir_.c_str(), 25).c_str(), error));
    for (const int threads : {1, 2, 3, 7}) {
        std::vector<unsigned char> proof(enhanced.size()), indices(320 * 240), codes(enhanced.size());
        portable::diffuse_picture(palette, true, 320, 240, enhanced.data(), proof.data(), indices.data(), threads);
        ulmamap_rgb(320, 240, indices.data(), codes.data());
        rgb_bgr_img_buf_convert(proof);
        std::string pgm = "P5\n320 240\n255\n";
        for (std::size_t n = 0; n < indices.size(); ++n) pgm += static_cast<char>(codes[n * 3]);
        const Expected actual{fnv1a64(pgm),
                              fnv1a64(std::string(proof.begin(), proof.end()), fnv1a64("P6\n320 240\n255\n"))};
        EXPECT_EQ(actual, kPipeline.at("320x240_s11_t25_p")) << threads << " threads";
    }
}

// Rows of the diffusion on threads of their own, each as close behind the row
// above as the wavefront lets it (the upper row stops after every pixel until
// the lower one has to wait for it): the bytes of one scan. A lag too short
// lets a row read a pixel before the row above has passed it all its shares,
// or add its own share first; real threads almost never meet that closely.
class LockStep {
  public:
    LockStep(std::mutex& mutex, std::condition_variable& changed, std::vector<std::size_t>& scanned,
             std::vector<std::size_t>& wanted, std::size_t row, std::size_t width)
        : mutex_(mutex), changed_(changed), scanned_(scanned), wanted_(wanted), row_(row), width_(width) {}
    void wait(std::size_t j) {
        if (row_ == 0) return;
        const std::size_t needed = std::min(j + portable::Trailing::kLag, width_);
        std::unique_lock lock(mutex_);
        wanted_[row_] = needed;
        changed_.notify_all();
        changed_.wait(lock, [&] { return scanned_[row_ - 1] >= needed; });
    }
    void scanned(std::size_t count) {
        std::unique_lock lock(mutex_);
        scanned_[row_] = count;
        changed_.notify_all();
        // Holds back until the row below waits for more than this row has.
        if (row_ + 1 < scanned_.size() && count < width_)
            changed_.wait(lock, [&] { return wanted_[row_ + 1] > count || scanned_[row_ + 1] == width_; });
    }

  private:
    std::mutex& mutex_;
    std::condition_variable& changed_;
    std::vector<std::size_t>& scanned_;
    std::vector<std::size_t>& wanted_;
    std::size_t row_, width_;
};

TEST_F(Golden, WavefrontRowsInLockStepGiveTheBytesOfOneScan) {
    std::string error;
    const DiffusionPalette palette =
        prepare_palette(*read_palette_data(special_get_eo_file_temp(lot_dir_.c_str(), 25).c_str(), error));
    const std::size_t width = 53, height = 9;
    const std::vector<unsigned char> picture = photo_like_rgb(width, height, 29);
    std::vector<unsigned char> proof(picture.size()), indices(width * height);
    portable::diffuse_picture(palette, true, width, height, picture.data(), proof.data(), indices.data(), 1);

    const portable::ConversionTables& tables = portable::conversion_tables();
    std::vector<double> rows(width * 3 * (height + 1));
    for (std::size_t i = 0; i < height; ++i)
        portable::convert_row(tables, picture.data() + i * width * 3, width, rows.data() + i * width * 3);
    std::vector<unsigned char> stepped_proof(picture.size()), stepped(width * height);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::size_t> scanned(height, 0), wanted(height, 0);
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < height; ++i)
            threads.emplace_back([&, i] {
                LockStep sync(mutex, changed, scanned, wanted, i, width);
                portable::diffuse_row(tables, palette, true, width, height, i, rows.data() + i * width * 3,
                                      rows.data() + (i + 1) * width * 3, stepped_proof.data(), stepped.data(), sync);
                const std::lock_guard lock(mutex);
                scanned[i] = width;
                changed.notify_all();
            });
    }
    EXPECT_EQ(stepped, indices);
    EXPECT_EQ(stepped_proof, proof);
}

// The built programs give the files of the in-process pipeline.
TEST_F(Golden, ProgramRunsMatchThePipeline) {
    struct Run {
        const char* exe;
        std::vector<std::string> words;
        std::uint64_t seed;
        const char* name;
    };
    const Run runs[] = {{ULMARENDER_EXE,
                         {"-p", "-c", "40", "-b", "-20", "pic.ppm", "out.pgm", lot_dir_, "25"},
                         23,
                         "97x61_s23_t25_p_c400_b-200"},
                        {ULMARENDER03_EXE, {"-p", "pic.ppm", "out.pgm", lot_dir_, "5"}, 11, "97x61_s11_t5_p"}};
    for (const Run& run : runs) {
        write_file(*dir_ / "pic.ppm", ppm(97, 61, photo_like_rgb(97, 61, run.seed)));
        const ProgramResult result = run_program(run.exe, "ulmarender", run.words, dir_->path());
        ASSERT_EQ(result.status, 0) << result.out;
        const Expected actual{fnv1a64(read_file(*dir_ / "out.pgm")), fnv1a64(read_file(*dir_ / "out_proof.ppm"))};
        EXPECT_EQ(actual, kPipeline.at(run.name)) << run.name;
    }
}

// ---- Stages over every colour ----------------------------------------------

void expect_stage(const std::string& name, std::uint64_t actual) { EXPECT_EQ(actual, kStages.at(name)) << name; }

std::uint64_t hash_doubles(std::uint64_t hash, std::initializer_list<double> values) {
    for (const double v : values) {
        char bytes[sizeof v];
        std::memcpy(bytes, &v, sizeof v);
        hash = fnv1a64(std::string_view(bytes, sizeof bytes), hash);
    }
    return hash;
}

TEST(GoldenStages, GreenEnhancementAndCielabOfEveryColour) {
    std::uint64_t enhanced = fnv1a64("");
    std::uint64_t lab = fnv1a64("");
    for (int colour = 0; colour < (1 << 24); ++colour) {
        int r = colour >> 16, g = (colour >> 8) & 255, b = colour & 255;
        double x, y, z, l, a, bb;
        rgb2xyz(x, y, z, r, g, b);
        xyz2lab(l, a, bb, x, y, z);
        lab = hash_doubles(lab, {l, a, bb});
        enhance_green(r, g, b);
        const char bytes[3] = {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
        enhanced = fnv1a64(std::string_view(bytes, 3), enhanced);
    }
    expect_stage("enhance_green", enhanced);
    expect_stage("lab_of_bytes", lab);
}

// Working colours as the diffusion meets them: inside and far outside the
// gamut, L beyond its range, and a few non-finite values.
std::vector<Lab> working_colours() {
    Random random(77);
    std::vector<Lab> colours;
    auto uniform = [&](double low, double high) {
        return low + (high - low) * static_cast<double>(random.next() >> 11) * 0x1p-53;
    };
    for (int n = 0; n < 1500000; ++n) {
        const int kind = n % 10;
        if (kind < 6) {
            colours.push_back({uniform(0, 100), uniform(-128, 128), uniform(-128, 128)});
        } else if (kind < 9) {
            colours.push_back({uniform(-30, 130), uniform(-400, 400), uniform(-400, 400)});
        } else {
            colours.push_back(
                {std::trunc(uniform(0, 100)), std::trunc(uniform(-90, 90)), std::trunc(uniform(-90, 90))});
        }
    }
    for (const Lab c : {Lab{100, 0, 0}, Lab{0, 0, 0}, Lab{50, 1e6, -1e6}, Lab{NAN, 0, 0}, Lab{50, INFINITY, 0}}) {
        colours.push_back(c);
    }
    return colours;
}

TEST(GoldenStages, GamutClipAndPaletteSearch) {
    const std::vector<Lab> colours = working_colours();
    std::uint64_t clip_hash = fnv1a64("");
    std::vector<Lab> clipped;
    for (const Lab& c : colours) {
        clipped.push_back(clip_to_gamut(conversion_tables(), c));
        clip_hash = hash_doubles(clip_hash, {clipped.back().l, clipped.back().a, clipped.back().b});
    }
    expect_stage("gamut_clip", clip_hash);
    const std::pair<const char*, const std::string*> palettes[] = {
        {"typical", &kPaletteTypical}, {"pale", &kPalettePale}, {"five", &kPaletteFive}, {"repeats", &kPaletteRepeats}};
    for (const auto& [name, text] : palettes) {
        std::string error;
        const DiffusionPalette palette = prepare_palette(*parse_palette_text(*text, name, error));
        std::vector<unsigned char> entries;
        for (std::size_t n = 0; n < clipped.size(); ++n) {
            entries.push_back(static_cast<unsigned char>(nearest_entry(palette, clipped[n])));
            entries.push_back(static_cast<unsigned char>(nearest_entry(palette, colours[n])));
        }
        expect_stage(std::string("nearest_") + name, fnv1a64(entries));
    }
}

TEST(GoldenStages, ErrorShares) {
    Random random(5);
    std::uint64_t shares = fnv1a64("");
    for (int n = 0; n < 200000; ++n) {
        double target[3] = {static_cast<double>(random.below(12000)) / 100 - 10,
                            static_cast<double>(random.below(500)) - 250, static_cast<double>(random.below(500)) - 250};
        const double error[3] = {static_cast<double>(random.below(40000)) / 100 - 200,
                                 static_cast<double>(random.below(60000)) / 100 - 300,
                                 static_cast<double>(random.below(61)) - 30};
        add_share(target, error, 1 + 2 * (n % 4));  // weights 1, 3, 5, 7
        shares = hash_doubles(shares, {target[0], target[1], target[2]});
    }
    expect_stage("pass_error", shares);
}

// The picture adjustment in all four modes with offsets and contrasts the
// command line never sets, over a lattice of colours.
TEST(GoldenStages, PictureAdjustmentInEveryMode) {
    std::vector<unsigned char> colours;
    for (int r = 0; r < 256; r += 3)
        for (int g = 1; g < 256; g += 3)
            for (int b = 2; b < 256; b += 3)
                colours.insert(colours.end(), {static_cast<unsigned char>(b), static_cast<unsigned char>(g),
                                               static_cast<unsigned char>(r)});
    const double settings[][4] = {{0, 0, 0, 0},  {0, 20, -15, 0},    {33.7, -40, 25, 0},
                                  {0, 0, 0, 30}, {-20, 10, 10, -45}, {400, 100, -100, 100}};
    std::vector<unsigned char> out(colours.size());
    for (int mode = 1; mode <= 4; ++mode) {
        for (int k = 0; k < 6; ++k) {
            const double* s = settings[k];
            image_processing(colours.data(), out.data(), colours.size() / 3, s[0], s[1], s[2], s[3], mode);
            expect_stage("image_processing_m" + std::to_string(mode) + "_" + std::to_string(k), fnv1a64(out));
        }
    }
}

// color_enhance with settings no option reaches (other modes, a contrast,
// no green enhancement), and version 0301's unconditional enhancement.
TEST(GoldenStages, ColourEnhanceWithOtherSettingsAndVersions) {
    TempDir dir;
    write_file(dir / "lut2.bin", lut_file(2));
    write_file(dir / "lut1.bin", lut_file(1));
    std::vector<unsigned char> picture = photo_like_rgb(320, 240, 41);
    for (std::size_t i = 0; i + 2 < picture.size(); i += 3) std::swap(picture[i], picture[i + 2]);
    std::vector<unsigned char> out(picture.size());
    const double settings[][6] = {{1, 0, 0, 0, 0, 0.75},   {1, 0, 0, 0, 0, 0},        {1, 0, 0, 0, 0, -1},
                                  {2, 15, 10, 0, 0, 0.75}, {3, -15, 20, 25, 0, 0.75}, {4, 30, -5, -30, 12, 0.75},
                                  {1, 0, 0, 40, 0, 0.75}};
    for (int k = 0; k < 7; ++k) {
        const double* s = settings[k];
        Settings given;
        given.mode = static_cast<int>(s[0]);
        given.sat_offset = s[1];
        given.light_offset = s[2];
        given.contrast = s[3];
        given.hue_offset = s[4];
        given.green_enhance = s[5];
        given.preprocess = s[1] != 0 || s[2] != 0 || s[3] != 0;
        EXPECT_EQ(color_enhance(given, 320, 240, picture.data(), out.data(), (dir / "lut2.bin").c_str()), 0);
        expect_stage("color_enhance_" + std::to_string(k), fnv1a64(out));
    }
    // Version 0301 ignores every one of these settings.
    Settings ignored;
    ignored.stages = kStages0301;
    ignored.sat_offset = 50;
    ignored.preprocess = true;
    ignored.noise_range = 9;
    ignored.green_enhance = 0;
    std::vector<unsigned char> lattice;
    for (int r = 0; r < 256; r += 2)
        for (int g = 1; g < 256; g += 2)
            for (int b = 0; b < 256; b += 2)
                lattice.insert(lattice.end(), {static_cast<unsigned char>(b), static_cast<unsigned char>(g),
                                               static_cast<unsigned char>(r)});
    out.resize(lattice.size());
    EXPECT_EQ(color_enhance(ignored, 128 * 128, 128, lattice.data(), out.data(), (dir / "lut1.bin").c_str()), 0);
    expect_stage("color_enhance_lattice", fnv1a64(out));
}

}  // namespace
