// The eight-colour renderer's own diffusion run on flat patches, to measure
// what it lays down for a table entry.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/lut_table.h"
#include "ulmarender/engine/palette_data.h"

namespace lut_builder {

inline constexpr int kRendererPatch = 40;
inline constexpr int kRendererMargin = 8;

// The renderer's palette, as its diffusion takes it.
class RendererPalette {
  public:
    explicit RendererPalette(std::span<const Lab> palette);

    // The CIELAB mean of the palette colours the renderer chooses on a flat
    // patch of `colour` (sRGB bytes, as its table gives them), away from
    // the patch's edges; the colour itself when the palette is not one the
    // renderer takes (not eight colours).
    Lab mean_on_patch(Rgb8 colour) const;
    // The same patch as the eye mixes its dots: the linear-light mix of the
    // chosen colours, in CIELAB.
    Lab mix_on_patch(Rgb8 colour) const;

  private:
    // The palette index the renderer chooses at each pixel of the patch;
    // empty when the renderer takes no such palette.
    std::vector<unsigned char> choices_on_patch(Rgb8 colour) const;

    std::vector<Lab> palette_;
    std::optional<ulma::Palette> renderer_;
};

}  // namespace lut_builder
