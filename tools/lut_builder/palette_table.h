// The colour table of the eight-colour renderer for a measured palette.
//
// That renderer brightens greens before its table (the green enhancement,
// always on), looks the result up, and diffuses the error in CIELAB onto the
// palette, searching the nearest colour with the palette's a and b scaled by
// 1.5 but spreading the error against the palette itself. Its running
// average is therefore the CIELAB average of the palette colours it chose.
// Each table entry here
//   1. undoes the green enhancement, so the panel shows the picture's colour;
//   2. finds, as the six-ink table does, the reachable colour and the palette
//      proportions that mix it in linear light;
//   3. stores the CIELAB average of those proportions, lifted as below, as
//      an sRGB colour.
#pragma once

#include <span>
#include <vector>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/ink_mixing.h"
#include "tools/lut_builder/lut_table.h"

namespace lut_builder {

// The renderer's scale of a and b in its nearest-colour search.
inline constexpr double kSearchScale = 1.5;

// The renderer spreads whole CIELAB units only (each share truncated) and
// clips every pixel to the sRGB cube, which leaves its result about 1.3 L*
// darker than its target on photographs. Entries are lifted by this much
// lightness (measured: 1.5 takes the mean CIEDE2000 from 2.23 to 1.91 and
// the lightness error from -1.3 to -0.6; 3 overshoots). Within the lift of
// a palette colour the error is too small to be passed on, so areas of one
// colour stay clean.
inline constexpr double kLightnessLift = 1.5;

// A mixer for the palette (CIELAB, D65 white): the darkest colour is the
// black, the lightest the white; the Delaunay split is taken among the
// colours the search compares with.
InkMixerResult make_palette_mixer(std::span<const Lab> palette);

// The colour the green enhancement turns into `enhanced` (hue and saturation
// kept, the value's power undone).
Rgb undo_green_enhancement(Rgb enhanced);

// What the renderer makes of a table entry: its CIELAB once through the
// gamut clip, and the palette entry its search picks for a colour (a and b
// of the palette scaled by kSearchScale, the later entry winning ties of the
// truncated distance).
Lab renderer_lab(Rgb8 colour);
std::size_t renderer_choice(std::span<const Lab> palette, Lab colour);

// The entry for an area of palette colour n: bytes the search maps to n and
// whose colour, as the renderer sees it, lies as close to n as bytes allow
// (within 16/7 in L, a and b none of the error is passed on).
Rgb8 solid_entry(std::span<const Lab> palette, std::size_t n);

// Whether a colour of the palette lies beyond the sRGB cube (some channel
// further out than the rounding of its bytes): TableChoices::AimMix::automatic
// aims such palettes' entries at the mix the eye sees.
bool beyond_srgb_cube(std::span<const Lab> palette);

std::vector<Rgb8> palette_table(const InkMixer& mixer, const TableChoices& choices = {});

}  // namespace lut_builder
