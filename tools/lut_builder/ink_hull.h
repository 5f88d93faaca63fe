// The convex hull of the measured ink colours in the space where the renderer
// measures its errors (sRGB bytes, or CIELAB held in the same three fields):
// the colours that error diffusion can reproduce as a mix of the inks.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "tools/lut_builder/colour_math.h"

namespace lut_builder {

// A boundary plane: dot(normal, p) - offset is the signed distance of p from
// the plane, positive outside. normal has unit length.
struct HullFacet {
    Rgb normal;
    double offset = 0.0;
    std::array<std::size_t, 3> corners{};  // the three colours the facet runs through
};

struct InkHull {
    std::vector<HullFacet> facets;
};

// Slack of the inside test in byte units: absorbs rounding in the colour
// conversions, far below anything a byte can show.
inline constexpr double kHullTolerance = 1e-6;

// The hull of the given colours. Every triple of colours whose plane has all
// other colours on one side is a facet (faces with four or more coplanar
// colours give several facets of the same plane). Returns nothing when there
// are fewer than four colours or they span no volume.
std::optional<InkHull> build_ink_hull(std::span<const Rgb> inks);

// The largest signed facet distance of p: at most 0 inside the hull; outside
// it is positive and no larger than the Euclidean distance to the hull.
double distance_outside(const InkHull& hull, Rgb p);

bool is_inside(const InkHull& hull, Rgb p, double tolerance = kHullTolerance);

}  // namespace lut_builder
