#include "tools/lut_builder/gamut_mapping.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lut_builder {
namespace {

// Below this chroma an input colour counts as neutral: it has no hue to keep.
constexpr double kNeutralChroma = 1e-9;
// No colour of the sRGB cube is this far from the neutral axis in CIELAB, so
// a chroma search may start from here as a certainly unreachable value.
constexpr double kUnreachableChroma = 256.0;
// Fixed bisection depths keep the run time and the output independent of the
// input: 2^-30 of the search range is far below a byte step.
constexpr int kChromaSteps = 30;
constexpr int kSegmentSteps = 40;
// Linear-light margin of the quick cube test: a colour this far outside the
// cube is at least three byte units outside it after encoding, and the hull
// of byte-valued inks lies inside the cube.
constexpr double kCubeMargin = 1e-3;

bool in_cube(LinearRgb v, double margin) {
    return v.r >= -margin && v.r <= 1.0 + margin && v.g >= -margin && v.g <= 1.0 + margin &&
           v.b >= -margin && v.b <= 1.0 + margin;
}

// A colour as a point of the hull's space.
Rgb lab_point(Lab lab) { return {lab.l, lab.a, lab.b}; }

bool reachable(const GamutTarget& target, Lab lab) {
    const LinearRgb linear = linear_from_lab(lab);
    if (!in_cube(linear, kCubeMargin)) return false;
    const Rgb point = target.settings.space == HullSpace::cielab ? lab_point(lab) : rgb_from_linear(linear);
    return is_inside(target.hull, point);
}

Rgb lerp(Rgb p, Rgb q, double t) {
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t};
}

// Largest value in [low, high] for which `inside` holds, given that it holds
// at `low`: a bisection that always keeps a value known to be inside.
template <typename Inside>
double largest_inside(double low, double high, int steps, Inside inside) {
    for (int i = 0; i < steps; ++i) {
        const double middle = low + (high - low) / 2.0;
        if (inside(middle)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}

// The point of the black-white ink segment whose lightness is `lightness`
// (which lies between the two inks' lightness).
Rgb segment_point(const GamutTarget& target, double lightness) {
    if (target.settings.space == HullSpace::cielab) {
        // Straight in CIELAB: the share follows the lightness directly.
        const Lab black = lab_from_rgb(target.black_ink);
        const Lab white = lab_from_rgb(target.white_ink);
        const double t = (lightness - black.l) / (white.l - black.l);
        return rgb_from_lab({lightness, black.a + (white.a - black.a) * t, black.b + (white.b - black.b) * t});
    }
    double low = 0.0;
    double high = 1.0;
    for (int i = 0; i < kSegmentSteps; ++i) {
        const double middle = low + (high - low) / 2.0;
        if (lab_from_rgb(lerp(target.black_ink, target.white_ink, middle)).l < lightness) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return lerp(target.black_ink, target.white_ink, low + (high - low) / 2.0);
}

// Largest chroma of the sRGB cube at this lightness along the hue direction
// (unit_a, unit_b) from the neutral axis.
double source_chroma_limit(double lightness, double unit_a, double unit_b) {
    return largest_inside(0.0, kUnreachableChroma, kChromaSteps, [&](double c) {
        return in_cube(linear_from_lab({lightness, c * unit_a, c * unit_b}), 1e-12);
    });
}

// Chroma after the soft knee: kept up to knee * reachable, and from there the
// remaining source range up to the cube's limit squeezed linearly onto the
// remaining reachable range, so that the most saturated source colour lands
// on the ink gamut boundary and gradations beyond the knee stay distinct.
double compressed_chroma(double chroma_in, double reachable_limit, double source_limit,
                         double knee) {
    const double knee_chroma = knee * reachable_limit;
    if (chroma_in <= knee_chroma || source_limit <= reachable_limit) return chroma_in;
    const double excess = std::min(chroma_in, source_limit) - knee_chroma;
    return knee_chroma + excess * (reachable_limit - knee_chroma) / (source_limit - knee_chroma);
}

}  // namespace

GamutTargetResult make_gamut_target(std::span<const Rgb> inks, std::size_t black_index,
                                    std::size_t white_index, MappingSettings settings) {
    GamutTargetResult result;
    if (black_index >= inks.size() || white_index >= inks.size()) {
        result.error = "the black and the white ink must be among the inks";
        return result;
    }
    for (const Rgb& ink : inks) {
        if (!(in_cube({ink.r / 255.0, ink.g / 255.0, ink.b / 255.0}, 0.0))) {
            result.error = "ink colours must lie within 0..255";
            return result;
        }
    }
    if (!(settings.knee >= 0.0 && settings.knee <= 1.0)) {
        result.error = "the knee must lie within 0..1";
        return result;
    }
    std::vector<Rgb> points(inks.begin(), inks.end());
    if (settings.space == HullSpace::cielab) {
        for (Rgb& point : points) point = lab_point(lab_from_rgb(point));
    }
    std::optional<InkHull> hull = build_ink_hull(points);
    if (!hull) {
        result.error = "the ink colours span no volume, so no colour can be mixed from them";
        return result;
    }
    GamutTarget target;
    target.hull = std::move(*hull);
    target.black_ink = inks[black_index];
    target.white_ink = inks[white_index];
    target.black_lightness = lab_from_rgb(target.black_ink).l;
    target.white_lightness = lab_from_rgb(target.white_ink).l;
    target.settings = settings;
    if (!(target.white_lightness > target.black_lightness)) {
        result.error = "the white ink must be lighter than the black ink";
        return result;
    }
    result.target = std::move(target);
    return result;
}

double target_lightness(const GamutTarget& target, double lightness) {
    const double black = target.black_lightness;
    const double white = target.white_lightness;
    if (target.settings.lightness == LightnessMode::clip) return std::clamp(lightness, black, white);
    return black + (white - black) * lightness / 100.0;
}

Lab anchor_colour(const GamutTarget& target, double lightness) {
    const Lab grey{lightness, 0.0, 0.0};
    if (reachable(target, grey)) return grey;
    const Rgb on_segment = segment_point(target, lightness);
    const Lab segment_lab = lab_from_rgb(on_segment);
    const Lab edge{lightness, segment_lab.a, segment_lab.b};
    // The segment lies inside the hull; its point of this lightness can only
    // miss by conversion rounding, and then the segment point itself serves.
    if (!reachable(target, edge)) return segment_lab;
    // Walk from the segment point towards the neutral grey as far as the hull
    // allows; `share` is what is left of the segment point's (a, b).
    const double share = 1.0 - largest_inside(0.0, 1.0, kChromaSteps, [&](double toward_grey) {
        const double left = 1.0 - toward_grey;
        return reachable(target, {lightness, left * edge.a, left * edge.b});
    });
    return {lightness, share * edge.a, share * edge.b};
}

Rgb map_colour(const GamutTarget& target, Rgb input) {
    const Lab in = lab_from_rgb(input);
    const double lightness = target_lightness(target, in.l);
    const Lab anchor = anchor_colour(target, lightness);
    const double chroma_in = chroma(in);
    if (chroma_in <= kNeutralChroma) return rgb_from_lab(anchor);

    const double unit_a = in.a / chroma_in;
    const double unit_b = in.b / chroma_in;
    const auto at = [&](double c) {
        return Lab{lightness, anchor.a + c * unit_a, anchor.b + c * unit_b};
    };
    const auto inside = [&](double c) { return reachable(target, at(c)); };

    double chroma_out = chroma_in;
    if (target.settings.chroma == ChromaMode::compress) {
        const double reachable_limit = largest_inside(0.0, kUnreachableChroma, kChromaSteps, inside);
        const double source_limit = source_chroma_limit(in.l, unit_a, unit_b);
        chroma_out =
            compressed_chroma(chroma_in, reachable_limit, source_limit, target.settings.knee);
    }
    // The reachable chromas along a hue need not form one interval exactly
    // (the hull is convex in byte space, not in CIELAB), so the result is
    // checked, and clipped below it when it misses.
    if (!inside(chroma_out)) chroma_out = largest_inside(0.0, chroma_out, kChromaSteps, inside);
    return rgb_from_lab(at(chroma_out));
}

}  // namespace lut_builder
