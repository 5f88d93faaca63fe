// CIELAB error diffusion, palette data files and panel codes. A slow
// reference written straight from the rules (full working image, pow for
// cubes, a square root per distance) checks the renderer's version on
// seeded random pictures and palettes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ulmarender/colour_stages.h"
#include "ulmarender/colour_tables.h"
#include "ulmarender/error_diffusion.h"
#include "ulmarender/palette_data.h"
#include "ulmarender/engine/settings.h"

namespace {

namespace fs = std::filesystem;

// ---- Reference, straight from the rules -----------------------------------

void ref_rgb2xyz(double* x, double* y, double* z, double r, double g, double b) {
  double v[3] = {r, g, b};
  for (double& c : v) {
    if (c / 255 > 0.04045) {
      c = fast_val[static_cast<int>(c)];
    } else {
      c = (c / 255) / 12.92;
    }
    c = c * 100;
  }
  *x = (v[0] * 0.4124 + v[1] * 0.3576) + v[2] * 0.1805;
  *y = (v[0] * 0.2126 + v[1] * 0.7152) + v[2] * 0.0722;
  *z = (v[0] * 0.0193 + v[1] * 0.1192) + v[2] * 0.9505;
}

void ref_xyz2lab(double* l, double* a, double* b, double x, double y, double z) {
  double v[3] = {x / 95.047, y / 100, z / 108.883};
  for (double& c : v) {
    const double k = std::trunc(c * 1023);
    const double root = (k >= 0 && k <= 1023) ? fast_val_3[static_cast<int>(k)] : std::pow(c, 1.0 / 3);
    c = c > 0.008856 ? root : 7.787 * c + 16.0 / 116;
  }
  *l = 116 * v[1] - 16;
  *a = 500 * (v[0] - v[1]);
  *b = 200 * (v[1] - v[2]);
}

void ref_lab2xyz(double* x, double* y, double* z, double l, double a, double b) {
  const double vY = (l + 16) / 116;
  double v[3] = {a / 500 + vY, vY, vY - b / 200};
  for (double& c : v) {
    const double cube = std::pow(c, 3.0);
    c = cube > 0.008856 ? cube : (c - 16.0 / 116) / 7.787;
  }
  *x = v[0] * 95.047;
  *y = v[1] * 100;
  *z = v[2] * 108.883;
}

void ref_xyz2rgb(double* r, double* g, double* b, double x, double y, double z) {
  const double X = x / 100, Y = y / 100, Z = z / 100;
  double v[3] = {(X * 3.2406 + Y * (-1.5372)) + Z * (-0.4986), (X * (-0.9689) + Y * 1.8758) + Z * 0.0415,
                 (X * 0.0557 + Y * (-0.2040)) + Z * 1.0570};
  for (double& c : v) {
    const double k = std::trunc(c * 255);
    if (c > 0.0031308) {
      const double power = (k >= 0 && k <= 255) ? fast_val_2[static_cast<int>(k)] : std::pow(c, 1 / 2.4);
      c = 1.055 * power - 0.055;
    } else {
      c = 12.92 * c;
    }
    c = c * 255;
  }
  *r = v[0];
  *g = v[1];
  *b = v[2];
}

double ref_clamp(double c) {
  if (c >= 255) c = 255;
  if (c <= 0) c = 0;
  return c;
}

void ref_clip(double L, double A, double B, double* L1, double* a1, double* b1) {
  double x, y, z, r, g, b;
  ref_lab2xyz(&x, &y, &z, L, A, B);
  ref_xyz2rgb(&r, &g, &b, x, y, z);
  ref_rgb2xyz(&x, &y, &z, ref_clamp(r), ref_clamp(g), ref_clamp(b));
  ref_xyz2lab(L1, a1, b1, x, y, z);
}

int ref_search(const Palette& p, double L1, double a1, double b1) {
  std::uint32_t min_error = 0xFFFFFF;
  int min_table_num = 0;
  for (int n = 0; n < 8; ++n) {
    const double ta = (p.cielab_a_table[n] / 100) * 1.5 * 100;
    const double tb = (p.cielab_b_table[n] / 100) * 1.5 * 100;
    const double dl = L1 - p.cielab_l_table[n], da = a1 - ta, db = b1 - tb;
    const double d = std::sqrt((dl * dl + da * da) + db * db);
    if (!(d < 4294967296.0)) continue;
    const auto di = static_cast<std::uint32_t>(d);
    if (di <= min_error) {
      min_error = di;
      min_table_num = n;
    }
  }
  return min_table_num;
}

struct Rendered {
  std::vector<unsigned char> index;
  std::vector<unsigned char> proof;
};

Rendered reference_diffusion(int w, int h, const std::vector<unsigned char>& bgr, const Palette& p, bool proof) {
  const std::size_t count = static_cast<std::size_t>(w) * h;
  std::vector<double> L(count), A(count), B(count);
  for (std::size_t n = 0; n < count; ++n) {
    double x, y, z;
    ref_rgb2xyz(&x, &y, &z, bgr[n * 3 + 2], bgr[n * 3 + 1], bgr[n * 3]);
    ref_xyz2lab(&L[n], &A[n], &B[n], x, y, z);
  }
  Rendered out{std::vector<unsigned char>(count, 0xEE), std::vector<unsigned char>(count * 3, 0xEE)};
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      const std::size_t n = static_cast<std::size_t>(i) * w + j;
      double x, y, z, r, g, b, L1, a1, b1;
      ref_clip(L[n], A[n], B[n], &L1, &a1, &b1);
      const int k = ref_search(p, L1, a1, b1);
      if (proof) {
        ref_lab2xyz(&x, &y, &z, p.cielab_l_table[k], p.cielab_a_table[k], p.cielab_b_table[k]);
        ref_xyz2rgb(&r, &g, &b, x, y, z);
        out.proof[n * 3] = static_cast<unsigned char>(static_cast<int>(ref_clamp(b)));
        out.proof[n * 3 + 1] = static_cast<unsigned char>(static_cast<int>(ref_clamp(g)));
        out.proof[n * 3 + 2] = static_cast<unsigned char>(static_cast<int>(ref_clamp(r)));
      }
      out.index[n] = static_cast<unsigned char>(k);
      const double eL = L1 - p.cielab_l_table[k];
      const double ea = a1 - (p.cielab_a_table[k] / 100) * 1.0 * 100;
      const double eb = b1 - (p.cielab_b_table[k] / 100) * 1.0 * 100;
      if (i >= 1 && j >= 1 && i <= h - 2 && j <= w - 2) {
        const int targets[4][3] = {{i, j + 1, 7}, {i + 1, j, 5}, {i + 1, j + 1, 1}, {i + 1, j - 1, 3}};
        for (const auto& t : targets) {
          const std::size_t m = static_cast<std::size_t>(t[0]) * w + t[1];
          L[m] = L[m] + std::trunc(eL * t[2] / 16);
          if (L[m] > 100) L[m] = 100;
          if (L[m] < 0) L[m] = 0;
          A[m] = A[m] + std::trunc(ea * t[2] / 16);
          B[m] = B[m] + std::trunc(eb * t[2] / 16);
        }
      }
    }
  }
  return out;
}

// ---- Helpers ---------------------------------------------------------------

class Diffusion : public ::testing::Test {
 protected:
  void SetUp() override {
    gProof = 0;
    dir_ = fs::path(TEST_BINARY_DIR) /
           ("diffusion_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    gProof = 0;
    fs::remove_all(dir_);
  }

  std::string write_text(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
  }

  static std::string palette_text(const Palette& p, int colours) {
    std::string text;
    char line[200];
    for (int n = 0; n < colours; ++n) {
      std::snprintf(line, sizeof line, "%.17g %.17g %.17g\n", p.cielab_l_table[n], p.cielab_a_table[n],
                    p.cielab_b_table[n]);
      text += line;
    }
    return text;
  }

  Rendered render(int w, int h, const std::vector<unsigned char>& bgr, const std::string& palette_path,
                  int* result = nullptr, std::string* printed = nullptr) {
    const std::size_t count = static_cast<std::size_t>(w) * h;
    Rendered out{std::vector<unsigned char>(count, 0xEE), std::vector<unsigned char>(count * 3, 0xEE)};
    ::testing::internal::CaptureStdout();
    const int r = error_diffusion_cielab(w, h, bgr.data(), out.proof.data(), out.index.data(), palette_path.c_str());
    const std::string text = ::testing::internal::GetCapturedStdout();
    if (result != nullptr) *result = r;
    if (printed != nullptr) *printed = text;
    return out;
  }

  fs::path dir_;
};

Palette random_palette(std::mt19937& random, int colours) {
  std::uniform_real_distribution<double> l(0, 100), ab(-90, 90);
  Palette p;
  for (int n = 0; n < colours; ++n) {
    p.cielab_l_table[n] = l(random);
    p.cielab_a_table[n] = ab(random);
    p.cielab_b_table[n] = ab(random);
  }
  return p;
}

std::vector<unsigned char> random_picture(std::mt19937& random, int w, int h, bool smooth) {
  std::vector<unsigned char> bgr(static_cast<std::size_t>(w) * h * 3);
  std::uniform_int_distribution<int> byte(0, 255), jitter(-6, 6);
  const int base[3] = {byte(random), byte(random), byte(random)};
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      for (int c = 0; c < 3; ++c) {
        int v = smooth ? base[c] + (i * (c + 1) * 3 + j * (3 - c) * 2) % 256 + jitter(random) : byte(random);
        v = v < 0 ? 0 : (v > 255 ? 255 : v);
        bgr[(static_cast<std::size_t>(i) * w + j) * 3 + c] = static_cast<unsigned char>(v);
      }
    }
  }
  return bgr;
}

// ---- Tests -----------------------------------------------------------------

TEST_F(Diffusion, MatchesTheReferenceOnRandomPicturesAndPalettes) {
  std::mt19937 random(4711);
  const int sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {2, 5}, {5, 2}, {3, 3}, {4, 4}, {17, 11}, {64, 33}, {101, 3}};
  int round = 0;
  for (const auto& size : sizes) {
    for (int variant = 0; variant < 4; ++variant, ++round) {
      const int colours = 5 + variant;  // 5 to 8 colours: the rest stay (0, 0, 0)
      const Palette p = random_palette(random, colours);
      const std::string path = write_text("palette" + std::to_string(round) + ".bin", palette_text(p, colours));
      const auto bgr = random_picture(random, size[0], size[1], variant % 2 == 0);
      gProof = variant / 2;
      const Rendered got = render(size[0], size[1], bgr, path);
      const Rendered want = reference_diffusion(size[0], size[1], bgr, parse_palette_text(palette_text(p, colours)),
                                                gProof == 1);
      ASSERT_EQ(got.index, want.index) << size[0] << "x" << size[1] << " variant " << variant;
      ASSERT_EQ(got.proof, want.proof) << size[0] << "x" << size[1] << " variant " << variant;
    }
  }
}

TEST(GamutClip, MatchesTheStepByStepRoundTrip) {
  std::mt19937 random(31337);
  std::uniform_real_distribution<double> l(-5, 105), ab(-220, 220), dark(-1, 12), small(-8, 8);
  for (int n = 0; n < 400000; ++n) {
    // Half the colours dark and nearly grey, where the linear segments and
    // the lowest table entries are used.
    const Lab colour = n % 2 == 0 ? Lab{l(random), ab(random), ab(random)}
                                  : Lab{dark(random), small(random), small(random)};
    double L1, a1, b1;
    ref_clip(colour.l, colour.a, colour.b, &L1, &a1, &b1);
    const Lab clipped = gamut_clip(colour);
    ASSERT_EQ(clipped.l, L1) << colour.l << " " << colour.a << " " << colour.b;
    ASSERT_EQ(clipped.a, a1) << colour.l << " " << colour.a << " " << colour.b;
    ASSERT_EQ(clipped.b, b1) << colour.l << " " << colour.a << " " << colour.b;
  }
}

TEST_F(Diffusion, AbsurdPaletteValuesGiveValidIndices) {
  std::mt19937 random(5);
  const auto bgr = random_picture(random, 12, 9, true);
  for (const char* text : {"nan nan nan 1e300 -1e300 1e300 inf 0 0 50 0 0", "1e30 1e30 1e30\n-1e30 0 0",
                           "nan 0 0 nan 0 0 nan 0 0 nan 0 0 nan 0 0 nan 0 0 nan 0 0 nan 0 0"}) {
    gProof = 1;
    const Rendered out = render(12, 9, bgr, write_text("absurd.txt", text));
    for (unsigned char index : out.index) EXPECT_LE(index, 7) << text;
  }
}

TEST_F(Diffusion, PicturesOfOneOrTwoRowsOrColumnsAreNotDiffused) {
  std::mt19937 random(99);
  const Palette p = random_palette(random, 8);
  const std::string path = write_text("palette.txt", palette_text(p, 8));
  for (const auto& size : {std::pair{9, 1}, std::pair{9, 2}, std::pair{1, 9}, std::pair{2, 9}}) {
    const auto bgr = random_picture(random, size.first, size.second, false);
    const Rendered whole = render(size.first, size.second, bgr, path);
    for (std::size_t n = 0; n < whole.index.size(); ++n) {
      const std::vector<unsigned char> one(bgr.begin() + static_cast<long>(n * 3), bgr.begin() + static_cast<long>(n * 3 + 3));
      EXPECT_EQ(whole.index[n], render(1, 1, one, path).index[0]) << n;
    }
  }
}

TEST_F(Diffusion, ShareRuleTruncatesTowardZeroAndKeepsLInRange) {
  const int weights[4] = {7, 5, 1, 3};
  const double up[4] = {6, 4, 0, 2};
  for (int k = 0; k < 4; ++k) {
    double target[3] = {50, 10, -10};
    pass_error(target, {15.0, 15.0, -15.0}, weights[k]);
    EXPECT_EQ(target[0], 50 + up[k]);
    EXPECT_EQ(target[1], 10 + up[k]);
    EXPECT_EQ(target[2], -10 - up[k]);
  }
  double small[3] = {50, 0, 0};
  pass_error(small, {2.28, -2.28, 2.28}, 7);  // below 16/7: nothing passes
  EXPECT_EQ(small[0], 50);
  EXPECT_EQ(small[1], 0);
  double high[3] = {98, 300, -300};
  pass_error(high, {40.0, 40.0, -40.0}, 7);
  EXPECT_EQ(high[0], 100);  // L clamped, a and b are not
  EXPECT_EQ(high[1], 317);
  EXPECT_EQ(high[2], -317);
  double low[3] = {1, 0, 0};
  pass_error(low, {-40.0, 0.0, 0.0}, 5);
  EXPECT_EQ(low[0], 0);
}

TEST_F(Diffusion, EqualTruncatedDistancesGoToTheHigherIndex) {
  // Black stays exactly (0, 0, 0) through the gamut clip: entry 0 lies
  // 10.0 away, entry 1 10.5 away; both truncate to 10, and entry 1 wins.
  // The other entries lie 100 away.
  const std::string far = "100 0 0\n100 0 0\n100 0 0\n100 0 0\n100 0 0\n100 0 0\n";
  const std::vector<unsigned char> black = {0, 0, 0};
  EXPECT_EQ(render(1, 1, black, write_text("ties.txt", "10 0 0\n10.5 0 0\n" + far)).index[0], 1);
  EXPECT_EQ(render(1, 1, black, write_text("ties2.txt", "10.5 0 0\n10 0 0\n" + far)).index[0], 1);
  EXPECT_EQ(render(1, 1, black, write_text("near.txt", "9.9 0 0\n11 0 0\n" + far)).index[0], 0);
  const std::vector<unsigned char> white = {255, 255, 255};
  // Eight equal entries: the last one.
  const std::string same = write_text("same.txt", "50 0 0 50 0 0 50 0 0 50 0 0 50 0 0 50 0 0 50 0 0 50 0 0");
  EXPECT_EQ(render(1, 1, white, same).index[0], 7);
}

TEST_F(Diffusion, SearchScalesPaletteAAndBByOneAndAHalf) {
  // Red's own CIELAB colour loses against an entry whose a and b are
  // two thirds of it, since the search compares against 1.5 a and 1.5 b.
  double l, a, b;
  {
    const Lab red = gamut_clip(lab_of_bytes(255, 0, 0));
    l = red.l, a = red.a, b = red.b;
  }
  char text[200];
  std::snprintf(text, sizeof text, "%.17g %.17g %.17g\n%.17g %.17g %.17g\n", l, a, b, l, a / 1.5, b / 1.5);
  const std::string path = write_text("scaled.txt", text);
  EXPECT_EQ(render(1, 1, {0, 0, 255}, path).index[0], 1);
}

TEST_F(Diffusion, NearestEntryWithoutSquareRootsMatchesTheSquareRootSearch) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<double> l(0, 100), ab(-120, 120), unit(0, 1);
  for (int round = 0; round < 20000; ++round) {
    Palette p = random_palette(random, 8);
    if (round % 3 == 0) p.cielab_l_table[round % 8] = p.cielab_l_table[(round + 3) % 8];  // exact ties
    const DiffusionPalette prepared = prepare_palette(p);
    for (int c = 0; c < 20; ++c) {
      Lab colour{l(random), ab(random), ab(random)};
      if (c % 2 == 1) {
        // Put an entry at a distance of an integer give or take a few ulps,
        // where the rounded square root decides the truncation.
        const int n = static_cast<int>(unit(random) * 8);
        const double k = std::floor(unit(random) * 60) + 1;
        double d = k;
        const int steps = static_cast<int>(unit(random) * 7) - 3;
        for (int s = 0; s < std::abs(steps); ++s) d = std::nextafter(d, steps < 0 ? 0.0 : 1e9);
        colour = {p.cielab_l_table[n] + d, prepared.search_a[n], prepared.search_b[n]};
      }
      ASSERT_EQ(nearest_palette_entry(prepared, colour), ref_search(p, colour.l, colour.a, colour.b))
          << "round " << round;
    }
  }
}

TEST_F(Diffusion, PaletteWithSevenColoursLeavesEntry7AtBlack) {
  const std::string path = write_text("seven.txt", "20 0 0\n90 0 0\n50 40 30\n50 -40 30\n60 0 60\n30 10 -40\n70 30 50\n");
  int result = 1;
  const Rendered out = render(2, 1, {0, 0, 0, 255, 255, 255}, path, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(out.index[0], 7);  // black is (0, 0, 0) exactly
  EXPECT_EQ(out.index[1], 1);
}

TEST(PaletteText, TokensSeparatorsAndLimits) {
  const Palette p = parse_palette_text("\n  \n 1 2 3\n4\t9 5 6\r\n7 x 9\n\n");
  EXPECT_EQ(p.cielab_l_table[0], 1);
  EXPECT_EQ(p.cielab_a_table[0], 2);
  EXPECT_EQ(p.cielab_b_table[0], 3);
  EXPECT_EQ(p.cielab_l_table[1], 4);  // "4\t9" is one token
  EXPECT_EQ(p.cielab_a_table[1], 5);
  EXPECT_EQ(p.cielab_b_table[1], 6);  // "6\r"
  EXPECT_EQ(p.cielab_l_table[2], 7);
  EXPECT_EQ(p.cielab_a_table[2], 0);  // unreadable: 0, position kept
  EXPECT_EQ(p.cielab_b_table[2], 9);
  EXPECT_EQ(p.cielab_l_table[3], 0);

  std::string many;
  for (int n = 1; n <= 30; ++n) many += std::to_string(n) + (n % 3 == 0 ? "\n" : " ");
  const Palette full = parse_palette_text(many);
  EXPECT_EQ(full.cielab_l_table[7], 22);
  EXPECT_EQ(full.cielab_b_table[7], 24);

  const Palette empty = parse_palette_text("   \n\n");
  for (int n = 0; n < 8; ++n) EXPECT_EQ(empty.cielab_l_table[n], 0);
  EXPECT_EQ(parse_palette_text("-5.5e1 +.5 1e400").cielab_l_table[0], -55);
}

TEST_F(Diffusion, ReadOnlyPaletteFileIsRead) {
  const std::string path = write_text("readonly.txt", "90 0 0\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  int result = 1;
  const Rendered out = render(1, 1, {255, 255, 255}, path, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(out.index[0], 0);
}

TEST_F(Diffusion, MissingPaletteFileIsReportedAndNothingWritten) {
  gProof = 1;
  for (const std::string& path : {(dir_ / "missing.txt").string(), dir_.string()}) {
    int result = 0;
    std::string printed;
    const Rendered out = render(3, 3, std::vector<unsigned char>(27, 100), path, &result, &printed);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(printed, "error! can not find correct eo data. ");
    EXPECT_EQ(out.index, std::vector<unsigned char>(9, 0xEE));
    EXPECT_EQ(out.proof, std::vector<unsigned char>(27, 0xEE));
  }
}

TEST_F(Diffusion, ProofColoursOnlyWhenAsked) {
  const std::string path = write_text("bw.txt", "0 0 0\n100 0 0\n");
  const std::vector<unsigned char> picture = {0, 0, 0, 255, 255, 255};
  const Rendered plain = render(2, 1, picture, path);
  EXPECT_EQ(plain.proof, std::vector<unsigned char>(6, 0xEE));
  gProof = 1;
  const Rendered proof = render(2, 1, picture, path);
  EXPECT_EQ(proof.index, plain.index);
  EXPECT_EQ(std::vector<unsigned char>(proof.proof.begin(), proof.proof.begin() + 3), std::vector<unsigned char>(3, 0));
  for (int c = 3; c < 6; ++c) EXPECT_GE(proof.proof[c], 254);
}

TEST(PanelCodes, IndexToCodeTimesEight) {
  const std::vector<unsigned char> index = {0, 1, 2, 3, 4, 5, 6, 7, 9};
  std::vector<unsigned char> out(index.size() * 3, 0xEE);
  ulmamap_rgb(3, 3, index.data(), out.data());
  const unsigned char want[] = {0, 32, 40, 48, 8, 24, 16, 56, 0};
  for (std::size_t n = 0; n < index.size(); ++n) {
    EXPECT_EQ(out[n * 3], want[n]);
    EXPECT_EQ(out[n * 3 + 1], want[n]);
    EXPECT_EQ(out[n * 3 + 2], want[n]);
  }
}

}  // namespace
