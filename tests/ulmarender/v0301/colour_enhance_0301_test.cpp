// Colour enhancement of version 0301: green enhancement on every pixel, no
// adjustment, no noise, then the LUT.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ulmarender/colour_stages.h"

namespace {

namespace fs = std::filesystem;

class ColorEnhance0301 : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(TEST_BINARY_DIR) /
           ("enhance0301_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // Entry (r, g, b) of the LUT holds (4r + 1, 4g + 2, 4b + 3).
    lut_ = (dir_ / "lut.bin").string();
    std::vector<unsigned char> lut;
    for (int r = 0; r < 64; ++r) {
      for (int g = 0; g < 64; ++g) {
        for (int b = 0; b < 64; ++b) {
          lut.insert(lut.end(), {static_cast<unsigned char>(r * 4 + 1), static_cast<unsigned char>(g * 4 + 2),
                                 static_cast<unsigned char>(b * 4 + 3)});
        }
      }
    }
    lut.insert(lut.end(), {0, 0, 0});
    std::FILE* f = std::fopen(lut_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(lut.data(), 1, lut.size(), f);
    std::fclose(f);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  std::string lut_;
};

// Input and expected output are blue, green, red bytes.
TEST_F(ColorEnhance0301, EnhancesEveryPixelThenLooksUpTheLut) {
  const std::vector<unsigned char> in = {0, 128, 0, 50, 50, 200, 255, 0, 255, 10, 2, 10, 128, 128, 128, 77, 77, 77};
  std::vector<unsigned char> out(in.size(), 0xAB);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(color_enhance(3, 2, in.data(), out.data(), lut_.c_str()), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  const auto cell = [](int b, int g, int r) {
    return std::array<unsigned char, 3>{static_cast<unsigned char>((b >> 2) * 4 + 3),
                                        static_cast<unsigned char>((g >> 2) * 4 + 2),
                                        static_cast<unsigned char>((r >> 2) * 4 + 1)};
  };
  const std::array<unsigned char, 3> want[] = {cell(0, 214, 0),   cell(52, 52, 209),   cell(255, 0, 255),
                                               cell(10, 1, 10),   cell(128, 128, 128), cell(77, 77, 77)};
  for (int n = 0; n < 6; ++n) {
    EXPECT_EQ((std::array<unsigned char, 3>{out[n * 3], out[n * 3 + 1], out[n * 3 + 2]}), want[n]) << n;
  }
}

TEST_F(ColorEnhance0301, MissingLutIsReportedAndOutputUntouched) {
  const std::vector<unsigned char> in(6, 100);
  std::vector<unsigned char> out(6, 0xAB);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(color_enhance(2, 1, in.data(), out.data(), (dir_ / "none.bin").string().c_str()), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "error! can not find correct lut data. ");
  EXPECT_EQ(out, std::vector<unsigned char>(6, 0xAB));
}

}  // namespace
