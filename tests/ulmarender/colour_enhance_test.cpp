// Colour enhancement (version 0302): green enhancement, LUT lookup,
// saturation and lightness adjustment, noise and LUT file problems.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ulmarender/colour_conversions.h"
#include "ulmarender/colour_enhance.h"
#include "ulmarender/colour_stages.h"
#include "ulmarender/hsl_hsv_processing.h"
#include "ulmarender/engine/settings.h"

namespace {

namespace fs = std::filesystem;
using Rgb = std::array<int, 3>;

struct EnhanceCase {
  Rgb in;
  Rgb out;
};

class GreenEnhancement : public ::testing::TestWithParam<EnhanceCase> {};

TEST_P(GreenEnhancement, RaisesSaturatedColoursMostForGreen) {
  Rgb c = GetParam().in;
  enhance_green(c[0], c[1], c[2]);
  EXPECT_EQ(c, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, GreenEnhancement,
    ::testing::Values(EnhanceCase{{0, 128, 0}, {0, 214, 0}},      // hue 120: strongest
                      EnhanceCase{{200, 50, 50}, {209, 52, 52}},
                      EnhanceCase{{255, 0, 255}, {255, 0, 255}},  // hue 300: exponent 1
                      EnhanceCase{{10, 2, 10}, {10, 1, 10}},      // hue 300, hsv2rgb truncates
                      EnhanceCase{{0, 255, 0}, {0, 255, 0}},      // V = 1 stays 1
                      EnhanceCase{{0, 0, 0}, {0, 0, 0}}));

TEST(GreenEnhancementGreys, EveryGreyIsUnchanged) {
  for (int v = 0; v < 256; ++v) {
    Rgb c = {v, v, v};
    enhance_green(c[0], c[1], c[2]);
    EXPECT_EQ(c, (Rgb{v, v, v}));
  }
}

// A LUT whose entry for (R, G, B) >> 2 is (4R + 1, 4G + 2, 4B + 3): the
// output shows both the index and the channel order.
std::vector<unsigned char> marked_lut() {
  std::vector<unsigned char> lut;
  lut.reserve(786435);
  for (int r = 0; r < 64; ++r) {
    for (int g = 0; g < 64; ++g) {
      for (int b = 0; b < 64; ++b) {
        lut.push_back(static_cast<unsigned char>(r * 4 + 1));
        lut.push_back(static_cast<unsigned char>(g * 4 + 2));
        lut.push_back(static_cast<unsigned char>(b * 4 + 3));
      }
    }
  }
  lut.insert(lut.end(), {9, 9, 9});  // the unused trailing entry
  return lut;
}

Rgb through_marked_lut(Rgb c) { return {(c[0] >> 2) * 4 + 1, (c[1] >> 2) * 4 + 2, (c[2] >> 2) * 4 + 3}; }

class ColorEnhance : public ::testing::Test {
 protected:
  void SetUp() override {
    gPreprocess = 0;
    gHue_offset = 0.0;
    gSat_offset = 0.0;
    gLight_offset = 0.0;
    gContrast = 0.0;
    gGreen_enhance = 0.75;
    gMode = 1;
    gNoise_range = -1;
    dir_ = fs::path(TEST_BINARY_DIR) /
           ("colour_enhance_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    lut_path_ = (dir_ / "lut.bin").string();
    write_file(lut_path_, marked_lut());
  }
  void TearDown() override {
    gPreprocess = 0;
    gNoise_range = -1;
    gGreen_enhance = 0.75;
    gSat_offset = gLight_offset = 0.0;
    fs::remove_all(dir_);
  }

  static void write_file(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  // Runs color_enhance on RGB pixels (one row) and returns RGB pixels.
  std::vector<Rgb> run(const std::vector<Rgb>& pixels, const std::string& lut, int* result = nullptr,
                       std::string* printed = nullptr, unsigned char fill = 0xAB) {
    std::vector<unsigned char> in;
    for (const Rgb& p : pixels) {
      in.insert(in.end(), {static_cast<unsigned char>(p[2]), static_cast<unsigned char>(p[1]),
                           static_cast<unsigned char>(p[0])});
    }
    std::vector<unsigned char> out(in.size(), fill);
    ::testing::internal::CaptureStdout();
    const int r = color_enhance(static_cast<int>(pixels.size()), 1, in.data(), out.data(), lut.c_str());
    const std::string text = ::testing::internal::GetCapturedStdout();
    if (result != nullptr) *result = r;
    if (printed != nullptr) *printed = text;
    std::vector<Rgb> rgb;
    for (std::size_t n = 0; n < pixels.size(); ++n) rgb.push_back({out[n * 3 + 2], out[n * 3 + 1], out[n * 3]});
    return rgb;
  }

  fs::path dir_;
  std::string lut_path_;
};

TEST_F(ColorEnhance, EnhancesThenLooksUpTheLut) {
  int result = -1;
  std::string printed;
  const auto out = run({{0, 128, 0}, {200, 50, 50}, {255, 0, 255}, {128, 128, 128}, {255, 255, 255}},
                       lut_path_, &result, &printed);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(printed, "");  // no adjustment and no noise lines by default
  EXPECT_EQ(out[0], through_marked_lut({0, 214, 0}));
  EXPECT_EQ(out[1], through_marked_lut({209, 52, 52}));
  EXPECT_EQ(out[2], through_marked_lut({255, 0, 255}));
  EXPECT_EQ(out[3], through_marked_lut({128, 128, 128}));
  EXPECT_EQ(out[4], (Rgb{253, 254, 255}));  // entry 262,143, not the trailing bytes
}

// Repeated colours are served from a cache: every pixel must still get the
// LUT entry of its own enhanced colour.
TEST_F(ColorEnhance, ManyColoursWithRepeatsEachGetTheirOwnEntry) {
  std::vector<Rgb> pixels;
  unsigned state = 12345;
  for (int n = 0; n < 200000; ++n) {
    state = state * 1103515245u + 12345u;
    const unsigned v = n % 3 == 0 ? (state >> 8) : (state >> 8) % 4096;  // many repeats
    pixels.push_back({static_cast<int>(v & 255), static_cast<int>((v >> 8) & 255), static_cast<int>((v >> 16) & 255)});
  }
  const auto out = run(pixels, lut_path_);
  for (std::size_t n = 0; n < pixels.size(); ++n) {
    Rgb c = pixels[n];
    enhance_green(c[0], c[1], c[2]);
    ASSERT_EQ(out[n], through_marked_lut(c)) << n;
  }
}

TEST_F(ColorEnhance, NoGreenEnhancementWhenTheGainIsNotPositive) {
  gGreen_enhance = 0.0;
  EXPECT_EQ(run({{0, 128, 0}}, lut_path_)[0], through_marked_lut({0, 128, 0}));
}

TEST_F(ColorEnhance, MissingOrShortLutIsReportedAndOutputUntouched) {
  std::vector<unsigned char> short_lut = marked_lut();
  short_lut.resize(786434);
  const std::string short_path = (dir_ / "short.bin").string();
  write_file(short_path, short_lut);
  gPreprocess = 1;
  gSat_offset = 20;
  gNoise_range = 10;
  for (const std::string& path : {(dir_ / "missing.bin").string(), short_path, dir_.string()}) {
    int result = 0;
    std::string printed;
    const auto out = run({{1, 2, 3}, {4, 5, 6}}, path, &result, &printed);
    EXPECT_EQ(result, 1) << path;
    EXPECT_EQ(printed, "error! can not find correct lut data. ") << path;
    EXPECT_EQ(out[0], (Rgb{0xAB, 0xAB, 0xAB})) << path;
    EXPECT_EQ(out[1], (Rgb{0xAB, 0xAB, 0xAB})) << path;
  }
}

TEST_F(ColorEnhance, LongerLutFileUsesItsFirstBytes) {
  std::vector<unsigned char> long_lut = marked_lut();
  long_lut.resize(786435 + 100, 7);
  const std::string path = (dir_ / "long.bin").string();
  write_file(path, long_lut);
  int result = 1;
  EXPECT_EQ(run({{255, 255, 255}}, path, &result)[0], (Rgb{253, 254, 255}));
  EXPECT_EQ(result, 0);
}

TEST_F(ColorEnhance, SaturationOffsetRaisesSaturatedPixelsOnly) {
  gPreprocess = 1;
  gSat_offset = 20;
  gGreen_enhance = 0.0;
  std::string printed;
  const auto out = run({{200, 50, 50}, {150, 100, 100}, {30, 200, 90}, {128, 128, 128}, {130, 128, 128}},
                       lut_path_, nullptr, &printed);
  EXPECT_EQ(printed, "chroma : 20.000000\nbrightness : 0.000000\n");
  EXPECT_EQ(out[0], through_marked_lut({225, 24, 24}));
  EXPECT_EQ(out[1], through_marked_lut({174, 75, 75}));
  EXPECT_EQ(out[2], through_marked_lut({7, 223, 82}));
  EXPECT_EQ(out[3], through_marked_lut({128, 128, 128}));
  // Saturation 2/258 < 0.1 keeps its saturation.
  EXPECT_EQ(out[4], through_marked_lut({130, 128, 128}));
}

TEST_F(ColorEnhance, LightnessOffsetMinus100MakesEverythingBlackEvenWithNoise) {
  gPreprocess = 1;
  gLight_offset = -100;
  gNoise_range = 200;
  std::string printed;
  const auto out = run({{200, 50, 50}, {255, 255, 255}, {0, 255, 0}, {17, 99, 3}}, lut_path_, nullptr, &printed);
  EXPECT_EQ(printed, "chroma : 0.000000\nbrightness : -100.000000\nnoise_range : 200\n");
  for (const Rgb& c : out) EXPECT_EQ(c, through_marked_lut({0, 0, 0}));
}

TEST_F(ColorEnhance, NoiseLeavesWhiteAndBlackAndMovesChannelsTogether) {
  gGreen_enhance = 0.0;
  gNoise_range = 40;
  std::vector<Rgb> pixels;
  for (int n = 0; n < 300; ++n) {
    pixels.push_back({255, 255, 255});
    pixels.push_back({0, 0, 0});
    pixels.push_back({128, 128, 128});
    pixels.push_back({2, 2, 2});
  }
  std::string printed;
  const auto out = run(pixels, lut_path_, nullptr, &printed);
  EXPECT_EQ(printed, "noise_range : 40\n");
  bool moved = false;
  for (std::size_t n = 0; n < pixels.size(); n += 4) {
    EXPECT_EQ(out[n], through_marked_lut({255, 255, 255}));
    EXPECT_EQ(out[n + 1], through_marked_lut({0, 0, 0}));
    // 128 + [-20, 19]: the LUT cell of 108 .. 147, the same for all three.
    const int grey = (out[n + 2][0] - 1) / 4;
    EXPECT_EQ(out[n + 2], through_marked_lut({grey * 4, grey * 4, grey * 4}));
    EXPECT_GE(grey * 4, 108);
    EXPECT_LE(grey * 4, 147);
    moved = moved || grey != 32;
    // 2 + [-20, 19] is clamped at 0 and stays at most 21.
    const int dark = (out[n + 3][0] - 1) / 4;
    EXPECT_EQ(out[n + 3], through_marked_lut({dark * 4, dark * 4, dark * 4}));
    EXPECT_LE(dark * 4, 21);
  }
  EXPECT_TRUE(moved);
}

TEST_F(ColorEnhance, NoiseRangeOneDrawsZero) {
  gGreen_enhance = 0.0;
  gNoise_range = 1;
  std::vector<Rgb> pixels;
  for (int v = 1; v < 255; ++v) pixels.push_back({v, 255 - v, v / 2});
  const auto out = run(pixels, lut_path_);
  for (std::size_t n = 0; n < pixels.size(); ++n) EXPECT_EQ(out[n], through_marked_lut(pixels[n]));
}

// HSL and HSV adjustment on their own, against values worked out by hand.
std::vector<Rgb> adjust(const std::vector<Rgb>& pixels, double sat_offset, double light_offset, int mode) {
  std::vector<unsigned char> in;
  for (const Rgb& p : pixels) {
    in.insert(in.end(), {static_cast<unsigned char>(p[2]), static_cast<unsigned char>(p[1]),
                         static_cast<unsigned char>(p[0])});
  }
  std::vector<unsigned char> out(in.size(), 0xAB);
  image_processing(in.data(), out.data(), pixels.size(), 0.0, sat_offset, light_offset, 0.0, mode);
  std::vector<Rgb> rgb;
  for (std::size_t n = 0; n < pixels.size(); ++n) rgb.push_back({out[n * 3 + 2], out[n * 3 + 1], out[n * 3]});
  return rgb;
}

TEST(ImageProcessing, HslRoundTripTruncates) {
  const auto out = adjust({{200, 50, 50}, {150, 100, 100}, {90, 60, 220}, {250, 240, 10}, {255, 255, 255}}, 0, 0, 1);
  EXPECT_EQ(out[0], (Rgb{200, 49, 49}));
  EXPECT_EQ(out[1], (Rgb{149, 100, 100}));
  EXPECT_EQ(out[2], (Rgb{89, 59, 220}));
  EXPECT_EQ(out[3], (Rgb{250, 237, 9}));
  EXPECT_EQ(out[4], (Rgb{255, 255, 255}));
}

TEST(ImageProcessing, LightnessOffsetAndValueOffset) {
  const auto hsl = adjust({{200, 50, 50}, {30, 200, 90}, {128, 128, 128}}, 0, 10, 1);
  EXPECT_EQ(hsl[0], (Rgb{213, 87, 87}));
  EXPECT_EQ(hsl[1], (Rgb{55, 225, 115}));
  EXPECT_EQ(hsl[2], (Rgb{153, 153, 153}));
  const auto hsv = adjust({{200, 50, 50}, {90, 60, 220}, {250, 240, 10}}, 0, 10, 2);
  EXPECT_EQ(hsv[0], (Rgb{225, 56, 56}));
  EXPECT_EQ(hsv[1], (Rgb{99, 66, 245}));
  EXPECT_EQ(hsv[2], (Rgb{255, 242, 10}));
}

TEST(ImageProcessing, OtherModesLeaveTheOutputAlone) {
  EXPECT_EQ(adjust({{1, 2, 3}}, 50, 50, 0)[0], (Rgb{0xAB, 0xAB, 0xAB}));
  EXPECT_EQ(adjust({{1, 2, 3}}, 50, 50, 5)[0], (Rgb{0xAB, 0xAB, 0xAB}));
}

}  // namespace
