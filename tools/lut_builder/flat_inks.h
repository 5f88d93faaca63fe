// Flat inks: an area of one ink's colour (and of pure black or pure white)
// is printed in that ink alone. A table entry whose colour lies within
// kFlatCore (CIEDE2000) of such an anchor is the anchor's own entry, which
// the renderer meets with no error at all; from there to kFlatReach the
// entry is handed over smoothly (a smoothstep in the distance) to the mixing
// entry, so a gradient leaving an ink shows no step.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "tools/lut_builder/colour_math.h"

namespace lut_builder {

inline constexpr double kFlatCore = 2.0;
inline constexpr double kFlatReach = 6.0;

// A colour of the picture (D65 CIELAB) and the table entry it gets in full.
struct FlatAnchor {
    Lab colour;
    Rgb entry;
};

// 1 within kFlatCore of the anchor, 0 from kFlatReach on, smooth between.
double flat_weight(double distance);

// The entry for a cell whose picture colour is `colour` and whose mixing
// entry is `mixing`: the nearest anchor's entry, blended as above.
Rgb with_flat_inks(std::span<const FlatAnchor> anchors, Lab colour, Rgb mixing);

// The anchors of a set of inks: each ink's own colour, pure black for the
// black ink and pure white for the white ink, with the given entries.
std::vector<FlatAnchor> ink_anchors(std::span<const Lab> inks, std::span<const Rgb> entries, std::size_t black,
                                    std::size_t white);

}  // namespace lut_builder
