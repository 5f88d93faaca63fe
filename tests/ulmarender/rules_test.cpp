// The worked examples and rules of the colour stages and the render-data
// files: conversions, enhancement, error shares and ties, band search, file
// names, palette and PPM reading.
#include <gtest/gtest.h>

#include <cstdio>

#include "ulmarender/engine/cielab_diffusion_loop.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/render_data.h"
#include "ulmarender/program/ppm_files.h"
#include "ulmarender/program/render_data_files.h"
#include "ulmarender/program/settings.h"
#include "ulmarender/support.h"

namespace {

using namespace ulma;
using namespace ulma_test;

TEST(ColourRules, HsvAndEnhancementExamples) {
    double h, s, v;
    rgb2hsv(h, s, v, 0, 255, 0);
    EXPECT_DOUBLE_EQ(h, 1.0 / 3.0);
    rgb2hsv(h, s, v, 128, 128, 128);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_DOUBLE_EQ(v, 128.0 / 255.0);
    int r, g, b;
    hsv2rgb(r, g, b, 1.0, 1.0, 1.0);  // a hue of 1 is a hue of 0: red
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 0, 0}));
    const int cases[][6] = {{0, 128, 0, 0, 214, 0},
                            {200, 50, 50, 209, 52, 52},
                            {255, 0, 255, 255, 0, 255},
                            {0, 255, 0, 0, 255, 0},
                            {128, 128, 128, 128, 128, 128}};
    for (const auto& c : cases) {
        r = c[0], g = c[1], b = c[2];
        enhance_green(r, g, b);
        EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{c[3], c[4], c[5]}))
            << c[0] << "," << c[1] << "," << c[2];
    }
    // HSL: red largest with blue above green wraps the hue; the way back
    // truncates, so a colour returns within one level.
    double l;
    rgb2hsl(h, s, l, 255, 0, 128);
    EXPECT_DOUBLE_EQ(h, 1 - (128.0 / 255) / 6);
    EXPECT_DOUBLE_EQ(l, (1 + 0.0) / 2);
    rgb2hsl(h, s, l, 200, 50, 50);
    EXPECT_EQ(h, 0);  // red itself: no wrap
    rgb2hsl(h, s, l, 128, 128, 128);
    EXPECT_EQ(h + s, 0);
    for (const auto& c : {std::vector<int>{255, 0, 128},
                          {10, 200, 30},
                          {40, 50, 220},
                          {250, 240, 10},
                          {90, 20, 60},
                          {128, 128, 128},
                          {200, 180, 190}}) {
        rgb2hsl(h, s, l, c[0], c[1], c[2]);
        hsl2rgb(r, g, b, h, s, l);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR((std::vector<int>{r, g, b})[k], c[k], 1) << c[0] << "," << c[1] << "," << c[2];
    }
    double x, y, z;
    xyz2rgb(x, y, z, -5, 0, 0);  // outside the gamut: not clamped
    EXPECT_LT(x, 0);
}

TEST(ColourRules, ErrorSharesAreTruncatedAndLIsClamped) {
    const double weights[] = {7, 5, 1, 3};
    const double expected[][4] = {{6, 4, 0, 2}, {-6, -4, 0, -2}};
    for (int sign = 0; sign < 2; ++sign) {
        for (int k = 0; k < 4; ++k) {
            double target[3] = {50, 0, 0};
            const double error[3] = {sign == 0 ? 15.0 : -15.0, 15, -2};
            add_share(target, error, static_cast<int>(weights[k]));
            EXPECT_EQ(target[0], 50 + expected[sign][k]);
            EXPECT_EQ(target[1], expected[0][k]);
            EXPECT_EQ(target[2], 0);  // -2 x 7 / 16 truncates to 0
        }
    }
    double high[3] = {99, 0, 0}, low[3] = {1, 0, 0};
    add_share(high, {40, 0, 0}, 7);
    add_share(low, {-40, 0, 0}, 7);
    EXPECT_EQ(high[0], 100);
    EXPECT_EQ(low[0], 0);
}

TEST(ColourRules, PaletteSearchScalesAbAndTiesGoToTheHigherEntry) {
    std::string error;
    const std::string zeros = "0 0 0\n0 0 0\n0 0 0\n0 0 0\n";
    const DiffusionPalette twins =
        prepare_palette(*parse_palette_text("10 0 0\n50 0 0\n50 0 0\n90 0 0\n" + zeros, "", error));
    EXPECT_EQ(nearest_entry(twins, {50.4, 0, 0}), 2);
    EXPECT_EQ(nearest_entry(twins, {1, 0, 0}), 7);  // entries 4 to 7 are 0, 0, 0
    // (60, 20, 0) is entry 1 itself, but the search sees entry 1 at a = 30.
    const DiffusionPalette scaled =
        prepare_palette(*parse_palette_text("60 20 0\n60 14 0\n" + zeros + "0 0 0\n0 0 0\n", "", error));
    EXPECT_EQ(nearest_entry(scaled, {60, 20, 0}), 1);
}

TEST(RenderData, BandSearchAndFileNames) {
    TempDir dir;
    std::string waveform(52, '\0');
    waveform[38] = 2;
    const char boundaries[] = {static_cast<char>(0xFB), 10, 20, 30};
    waveform.replace(48, 4, boundaries, 4);
    write_file(dir / "LOT.wbf", waveform);
    ASSERT_TRUE(get_temp_data_from_wbf("LOT", dir.path().c_str()));
    const int cases[][2] = {{10, 0}, {11, 1}, {35, 2}, {-20, 0}, {20, 1}, {21, 2}};
    for (const auto& c : cases) EXPECT_EQ(search_temp_region(c[0]), c[1]) << c[0];
    ASSERT_TRUE(split_argv_lot("data\\ULMA_K7_TC_03/"));
    EXPECT_EQ(std::string(gLotName) + "|" + gLotCodeVer, "ULMA_K7_TC|03");
    EXPECT_EQ(special_get_file_temp("d", -9), "d/ULMA_K7_lut_-5Cto10C_03.bin");
    EXPECT_EQ(special_get_eo_file_temp("d", 25), "d/ULMA_K7_data_20Cto30C_03.bin");
    waveform[38] = 0;
    write_file(dir / "LOT.wbf", waveform);
    ASSERT_TRUE(get_temp_data_from_wbf("LOT", dir.path().c_str()));
    EXPECT_EQ(search_temp_region(99), 0);  // one band
    waveform[38] = 29;
    write_file(dir / "LOT.wbf", waveform);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(get_temp_data_from_wbf("LOT", dir.path().c_str()));  // more bands than the table holds
    waveform[38] = 5;
    write_file(dir / "LOT.wbf", waveform);
    EXPECT_FALSE(get_temp_data_from_wbf("LOT", dir.path().c_str()));  // too short for its table
    EXPECT_FALSE(split_argv_lot("a/AB_03"));
    testing::internal::GetCapturedStdout();
}

TEST(PictureFiles, HeaderFormsProofNamesAndShortFiles) {
    TempDir dir;
    write_file(dir / "c.ppm", "P6\n# made by hand\n2 # width\n1\n255\n" + std::string(6, 'x'));
    write_file(dir / "huge.ppm", "P6\n20000 20000\n255\n" + std::string(46, 'x'));  // 64 bytes
    int w = 0, h = 0;
    ASSERT_TRUE(ppm_load((dir / "c.ppm").c_str(), w, h));
    EXPECT_EQ(w * 10 + h, 21);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ppm_load((dir / "huge.ppm").c_str(), w, h));  // refused before any picture buffer exists
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "error! " + (dir / "huge.ppm").string() + ": pixel data incomplete\n");
    const std::pair<const char*, const char*> names[] = {{"out.pgm", "out_proof.ppm"},
                                                         {"out.bin", "out_proof.ppm"},
                                                         {"a/b.c/x.pgm", "a/b.c/x_proof.ppm"},
                                                         {"abcd", "_proof.ppm"}};
    for (const auto& [output, proof] : names) EXPECT_EQ(proof_image_path(output), proof);
    ImageX = ImageY = 1;
    ASSERT_TRUE(buf_pgm_save((dir / "one.pgm").c_str(), std::vector<unsigned char>{40}));
    EXPECT_EQ(read_file(dir / "one.pgm"), std::string("P5\n1 1\n255\n\x28", 12));
}

}  // namespace
