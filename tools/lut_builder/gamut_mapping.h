// Gamut mapping of one colour onto the measured inks: lightness is brought
// into the range between the black and the white ink, then chroma is reduced
// with the hue kept until the colour lies inside the hull of the inks in the
// space the renderer diffuses its errors in (sRGB bytes for the six-ink
// renderer, CIELAB for the eight-colour one). Error diffusion then never aims
// at a colour that no mix of inks can reach.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/ink_hull.h"

namespace lut_builder {

enum class LightnessMode {
    linear,  // L' = Lblack + (Lwhite - Lblack) * L / 100
    clip,    // L' = L limited to Lblack .. Lwhite
};

enum class ChromaMode {
    compress,  // soft knee towards the largest reachable chroma
    clip,      // the largest reachable chroma not above the input's
};

// The space in which averages of inks are formed, i.e. in which the renderer
// measures and spreads its errors: the hull of the inks is taken there.
enum class HullSpace {
    srgb_bytes,  // sRGB-encoded channels 0..255
    cielab,      // CIELAB (D65)
};

struct MappingSettings {
    LightnessMode lightness = LightnessMode::linear;
    ChromaMode chroma = ChromaMode::compress;
    // Compress only: chroma up to knee * (largest reachable chroma) is kept.
    double knee = 0.8;
    HullSpace space = HullSpace::srgb_bytes;
};

// Everything the mapping needs about the inks, computed once.
struct GamutTarget {
    InkHull hull;
    Rgb black_ink;
    Rgb white_ink;
    double black_lightness = 0.0;
    double white_lightness = 0.0;
    MappingSettings settings;
};

struct GamutTargetResult {
    std::optional<GamutTarget> target;
    std::string error;  // why there is no target
};

// Fails when the inks span no volume or the white ink is not lighter than the
// black ink.
GamutTargetResult make_gamut_target(std::span<const Rgb> inks, std::size_t black_index,
                                    std::size_t white_index, MappingSettings settings);

// The lightness that an input lightness (0..100) is given.
double target_lightness(const GamutTarget& target, double lightness);

// The most neutral reachable colour of a lightness between the black and the
// white ink: the neutral grey when it lies inside the hull, otherwise the
// point reached from that grey towards the black-white ink segment (straight
// in the hull's space), along the straight line in (a, b) to the segment's
// point of the same lightness, where the hull begins. Chroma is reduced towards this colour.
Lab anchor_colour(const GamutTarget& target, double lightness);

// The mapped colour of an sRGB colour, inside the hull (within
// kHullTolerance), not yet rounded.
Rgb map_colour(const GamutTarget& target, Rgb input);

}  // namespace lut_builder
