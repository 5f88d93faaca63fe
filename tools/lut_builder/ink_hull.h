// The convex hull of the measured ink colours, as points of any
// three-dimensional space held in Rgb's fields (the ink mixer takes it in
// linear light times 255): the colours that mixes of the inks can give.
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

bool is_inside(const InkHull& hull, Rgb p, double tolerance = kHullTolerance);

}  // namespace lut_builder
