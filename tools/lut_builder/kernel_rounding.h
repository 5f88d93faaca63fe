// What a six-ink error diffusion really lays down for a target.
//
// The engines spread their errors in whole units and drop the rest:
// Floyd-Steinberg floors its four shares, the three-row kernels truncate
// their twelve shares toward zero and so spread nothing of small errors.
// What they lay down therefore differs from their target, by an amount that
// depends on the kernel and on where the target lies among the inks. Here
// the engine of a method is run on flat patches of targets on a grid, the
// mean ink colour of each patch is measured, and a table entry is chosen so
// that the engine's mean for it is the target.
#pragma once

#include <span>
#include <vector>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/ink_mixing.h"
#include "tools/lut_builder/lut_table.h"

namespace lut_builder {

// Grid of targets (per channel) and the flat patch each is measured on: the
// mean is taken away from the patch's edges, where the diffusion starts up.
inline constexpr int kRoundingGrid = 33;
inline constexpr int kPatchSize = 64;
inline constexpr int kPatchMargin = 12;

struct RoundingBias {
    std::vector<Rgb> bias;  // engine mean less target, at each grid target
};

// Runs the engine of `method` (the renderer's dither number, 1..6) with the
// inks `inks` on a patch of every grid target, moved first into the inks'
// hull in the engine's space.
RoundingBias measure_rounding(const InkMixer& mixer, std::span<const Rgb8> inks, int method);

// The entry whose engine mean is `target`, by the measured bias.
Rgb compensate_rounding(const RoundingBias& measured, Rgb target);

}  // namespace lut_builder
