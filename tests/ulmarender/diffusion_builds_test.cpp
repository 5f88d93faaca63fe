// The two builds of the diffusion's per-pixel work (portable, and with fused
// multiply-add where the processor has it) give the same indices and proof
// colours, bit for bit, on seeded pictures and palettes. The palettes put
// colours near the gamut's edges and the pictures hold saturated and dark
// pixels, so the exact cube of lab2xyz takes both of its ways.
#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <vector>

#include "ulmarender/cielab_diffusion_loop.h"
#include "ulmarender/error_diffusion.h"
#include "ulmarender/palette_data.h"

namespace {

#if ULMA_COLOUR_FMA_BUILD

struct Output {
  std::vector<unsigned char> proof;
  std::vector<unsigned char> indices;
};

Output run(bool with_fma, const DiffusionPalette& palette, std::size_t width, std::size_t height,
           const std::vector<unsigned char>& picture) {
  Output out{std::vector<unsigned char>(width * height * 3), std::vector<unsigned char>(width * height)};
  if (with_fma) {
    diffuse_picture_fma(palette, true, width, height, picture.data(), out.proof.data(), out.indices.data());
  } else {
    portable::diffuse_picture(palette, true, width, height, picture.data(), out.proof.data(), out.indices.data());
  }
  return out;
}

TEST(DiffusionBuilds, FusedMultiplyAddBuildGivesTheSameBytes) {
  if (!__builtin_cpu_supports("fma")) GTEST_SKIP() << "the processor has no fused multiply-add";
  std::mt19937 random(2024);
  std::uniform_real_distribution<double> l(0, 100), ab(-110, 110);
  std::uniform_int_distribution<int> byte(0, 255), extreme(0, 1);
  const std::size_t sizes[][2] = {{1, 1}, {2, 3}, {7, 5}, {64, 17}, {131, 43}, {400, 150}};
  for (const auto& size : sizes) {
    for (int round = 0; round < 6; ++round) {
      Palette p{};
      for (int n = 0; n < kPaletteSize; ++n) {
        p.cielab_l_table[n] = l(random);
        p.cielab_a_table[n] = ab(random);
        p.cielab_b_table[n] = ab(random);
      }
      const DiffusionPalette palette = prepare_palette(p);
      std::vector<unsigned char> picture(size[0] * size[1] * 3);
      for (unsigned char& v : picture) v = static_cast<unsigned char>(round % 2 ? extreme(random) * 255 : byte(random));
      const Output portable_out = run(false, palette, size[0], size[1], picture);
      const Output fma_out = run(true, palette, size[0], size[1], picture);
      ASSERT_EQ(portable_out.indices, fma_out.indices) << size[0] << "x" << size[1] << " round " << round;
      ASSERT_EQ(portable_out.proof, fma_out.proof) << size[0] << "x" << size[1] << " round " << round;
    }
  }
}

#endif

}  // namespace
