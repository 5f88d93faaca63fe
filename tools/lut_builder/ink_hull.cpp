#include "tools/lut_builder/ink_hull.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lut_builder {
namespace {

// Smallest tetrahedron volume (cubic byte units) that counts as a body; inks
// flatter than that cannot mix into a usable gamut.
constexpr double kMinimumVolume = 1.0;
// Side test of the facet search, in byte units.
constexpr double kCoplanarSlack = 1e-9;

Rgb minus(Rgb p, Rgb q) { return {p.r - q.r, p.g - q.g, p.b - q.b}; }

double dot(Rgb p, Rgb q) { return p.r * q.r + p.g * q.g + p.b * q.b; }

Rgb cross(Rgb p, Rgb q) { return {p.g * q.b - p.b * q.g, p.b * q.r - p.r * q.b, p.r * q.g - p.g * q.r}; }

double tetrahedron_volume(Rgb a, Rgb b, Rgb c, Rgb d) {
    return std::fabs(dot(cross(minus(b, a), minus(c, a)), minus(d, a))) / 6.0;
}

bool spans_volume(std::span<const Rgb> p) {
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            for (std::size_t k = j + 1; k < n; ++k)
                for (std::size_t l = k + 1; l < n; ++l)
                    if (tetrahedron_volume(p[i], p[j], p[k], p[l]) >= kMinimumVolume) return true;
    return false;
}

// The facet through a, b, c with its normal pointing away from `centre`, if
// every colour lies on the inner side of that plane.
std::optional<HullFacet> facet_through(std::span<const Rgb> inks, std::size_t i, std::size_t j, std::size_t k,
                                       Rgb centre) {
    const Rgb a = inks[i];
    const Rgb b = inks[j];
    const Rgb c = inks[k];
    Rgb normal = cross(minus(b, a), minus(c, a));
    const double length = std::sqrt(dot(normal, normal));
    if (length == 0.0) return std::nullopt;
    normal = {normal.r / length, normal.g / length, normal.b / length};
    double offset = dot(normal, a);
    if (dot(normal, centre) > offset) {
        normal = {-normal.r, -normal.g, -normal.b};
        offset = -offset;
    }
    for (const Rgb& p : inks)
        if (dot(normal, p) - offset > kCoplanarSlack) return std::nullopt;
    return HullFacet{normal, offset, {i, j, k}};
}

}  // namespace

std::optional<InkHull> build_ink_hull(std::span<const Rgb> inks) {
    if (inks.size() < 4 || !spans_volume(inks)) return std::nullopt;
    Rgb centre;
    for (const Rgb& p : inks) centre = {centre.r + p.r, centre.g + p.g, centre.b + p.b};
    const double count = static_cast<double>(inks.size());
    centre = {centre.r / count, centre.g / count, centre.b / count};

    InkHull hull;
    const std::size_t n = inks.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            for (std::size_t k = j + 1; k < n; ++k)
                if (auto facet = facet_through(inks, i, j, k, centre)) hull.facets.push_back(*facet);
    return hull;
}

bool is_inside(const InkHull& hull, Rgb p, double tolerance) {
    for (const HullFacet& facet : hull.facets)
        if (dot(facet.normal, p) - facet.offset > tolerance) return false;
    return true;
}

}  // namespace lut_builder
