// Tables of the hue side of the image adjustment. Both depend on nothing but
// small integers, so they are built once, on first use, and only read
// afterwards.
#pragma once

#include <array>
#include <cstdint>

namespace morva6 {

// Hues after rotation are whole degrees in -359..359; tables keep them at
// position hue + kHueSpan.
inline constexpr int kHueSpan = 359;
inline constexpr int kHueCount = 2 * kHueSpan + 1;

// Which value a channel takes, by where its hue position t falls on the
// HSL-to-RGB curve: the ramp (clamped while rising), q on top, p at the
// bottom.
enum HueSegment : std::uint8_t { kRising, kFalling, kTop, kBottom };

// Per whole-degree hue and channel (red, green, blue): the segment and the
// argument of the ramp formula, t while rising and 2/3 - t while falling.
struct HueCurves {
    std::array<double, 3> ramp;
    std::array<HueSegment, 3> segment;
};

// The curves of every hue -359..359, at position hue + kHueSpan.
const std::array<HueCurves, kHueCount>& hue_curves();

// Position of (spread, difference) in the quotient table: spread 1..255,
// difference -spread..spread, rows of 2 * spread + 1 entries.
constexpr int hue_quotient_index(int spread, int difference) { return spread * spread + spread + difference; }

inline constexpr int kHueQuotientCount = 256 * 256;

// For the hue formulas' quotient difference * 60 / spread: its floor and
// whether it is whole, coded as floor * 2 + whole.
const std::array<std::int8_t, kHueQuotientCount>& hue_quotients();

}  // namespace morva6
