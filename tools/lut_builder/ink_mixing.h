// What a panel shows for given proportions of its inks, and which colour an
// error diffusion must aim at to lay those proportions down.
//
// Seen from a normal distance the ink dots of a panel mix by reflectance,
// that is in linear light. An error diffusion keeps the running average of
// its chosen inks equal to its target in its own space (sRGB bytes for the
// six-ink renderer, CIELAB for the eight-colour one). A table built here
// therefore
//   1. decides the colour the panel should show: a colour the inks can mix
//      (inside their hull in linear light) stays as it is; any other goes to
//      the closest colour of the hull's surface by CIEDE2000;
//   2. finds ink proportions whose linear-light mix is that colour: those of
//      the cell of the Delaunay split of the inks in the engine's space that
//      holds it once the cell's corners are taken in linear light (the inks
//      a nearest-colour error diffusion chooses around a target are the
//      corners of the Delaunay cell around it);
//   3. returns the engine's own average of those proportions.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/ink_hull.h"

namespace lut_builder {

// Sampling of the closest-colour mapping: a grid of kSurfaceGrid^3 sRGB
// colours, interpolated trilinearly in between.
inline constexpr int kSurfaceGrid = 17;

struct InkMixer {
    std::vector<Rgb> engine;                        // each ink where the engine averages
    std::vector<LinearRgb> light;                   // each ink in linear light
    std::vector<std::array<std::size_t, 4>> cells;  // Delaunay cells in the engine's space
    InkHull light_hull;                             // in linear light times 255
    std::size_t black = 0;
    std::size_t white = 1;
    std::vector<LinearRgb> surface;  // closest hull colour of each grid colour
};

struct InkMixerResult {
    std::optional<InkMixer> mixer;
    std::string error;
};

// `engine` and `light` describe the same inks, in the same order;
// `selection`, when given, are the points the engine's nearest-colour search
// compares with (where they differ from `engine`), and the Delaunay split is
// taken there. Fails when the inks span no volume or the white ink is not
// lighter than the black.
InkMixerResult make_ink_mixer(std::span<const Rgb> engine, std::span<const LinearRgb> light, std::size_t black,
                              std::size_t white, std::span<const Rgb> selection = {});

bool is_reachable(const InkMixer& mixer, LinearRgb colour);

// Step 1: the colour a panel with these inks should show for `wanted`.
LinearRgb reachable_target(const InkMixer& mixer, LinearRgb wanted);

// Step 2: one proportion per ink, adding up to 1, whose linear-light mix is
// `target` (which must be reachable).
std::vector<double> proportions_for(const InkMixer& mixer, LinearRgb target);

// The proportions a nearest-colour error diffusion lays down for a target in
// its own space: the barycentric weights of its Delaunay cell.
std::vector<double> engine_proportions(const InkMixer& mixer, Rgb engine_target);

// Averages of proportions, in the engine's space and in linear light.
Rgb engine_average(const InkMixer& mixer, std::span<const double> proportions);
LinearRgb light_mix(const InkMixer& mixer, std::span<const double> proportions);

// The picture's lightness range (L* 0..100) mapped linearly onto the inks'
// (black ink to white ink), a and b kept: instead of clipping everything
// darker than the black ink or lighter than the white ink, shadows and
// highlights keep their steps at some cost of contrast.
LinearRgb tone_mapped(const InkMixer& mixer, LinearRgb wanted);

// Steps 1 to 3 for one input colour.
Rgb engine_target_for(const InkMixer& mixer, LinearRgb wanted);

}  // namespace lut_builder
