#include "morva6/core/image_adjustment_hue.h"

#include <cmath>

namespace morva6 {
namespace {

// The red and blue channels sit this far from the green one on the hue
// circle; the literal has six decimals on purpose (it is not 1/3).
constexpr double kChannelHueOffset = 0.333333;
constexpr double kSixth = 1.0 / 6.0;
constexpr double kHalf = 1.0 / 2.0;
constexpr double kTwoThirds = 2.0 / 3.0;

// t is wrapped once: a sum below -1 stays negative and then rises from
// below zero.
void set_channel(HueCurves& curves, int channel, double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    HueSegment segment = kBottom;
    double ramp = 0.0;
    if (t < kSixth) {
        segment = kRising;
        ramp = t;
    } else if (t < kHalf) {
        segment = kTop;
    } else if (t < kTwoThirds) {
        segment = kFalling;
        ramp = kTwoThirds - t;
    }
    curves.ramp[channel] = ramp;
    curves.segment[channel] = segment;
}

}  // namespace

const std::array<HueCurves, kHueCount>& hue_curves() {
    static const std::array<HueCurves, kHueCount> table = [] {
        std::array<HueCurves, kHueCount> curves{};
        for (int hue = -kHueSpan; hue <= kHueSpan; ++hue) {
            const double h = static_cast<double>(hue) / 360.0;
            HueCurves& entry = curves[hue + kHueSpan];
            set_channel(entry, 0, h + kChannelHueOffset);
            set_channel(entry, 1, h);
            set_channel(entry, 2, h - kChannelHueOffset);
        }
        return curves;
    }();
    return table;
}

// Why floor and wholeness suffice: as a fraction with a denominator of at
// most 255, the quotient is either whole or at least 1/255 away from every
// whole number, while the later additions (a sector angle of 120, 240 or
// 360, then the hue shift, a 32-bit integer) round by less than 1e-6. So no
// truncation after them can land elsewhere than the floor says.
const std::array<std::int8_t, kHueQuotientCount>& hue_quotients() {
    static const std::array<std::int8_t, kHueQuotientCount> table = [] {
        std::array<std::int8_t, kHueQuotientCount> codes{};
        for (int spread = 1; spread < 256; ++spread) {
            for (int difference = -spread; difference <= spread; ++difference) {
                const double q = static_cast<double>(difference) * 60.0 / static_cast<double>(spread);
                const double whole = std::floor(q);
                codes[hue_quotient_index(spread, difference)] =
                    static_cast<std::int8_t>(static_cast<int>(whole) * 2 + (whole == q ? 1 : 0));
            }
        }
        return codes;
    }();
    return table;
}

}  // namespace morva6
