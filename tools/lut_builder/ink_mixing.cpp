#include "tools/lut_builder/ink_mixing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/lut_builder/cube_grid.h"

namespace lut_builder {
namespace {

// Slack of the barycentric tests: a weight this far below 0 still counts as 0.
constexpr double kWeightSlack = 1e-9;
// Steps of the closest-colour search on a facet: a coarse barycentric grid,
// then a pattern search that halves its step this many times.
constexpr int kFacetSteps = 12;
constexpr int kRefinements = 8;

Rgb point(LinearRgb v) { return {v.r * 255.0, v.g * 255.0, v.b * 255.0}; }
Rgb minus(Rgb p, Rgb q) { return {p.r - q.r, p.g - q.g, p.b - q.b}; }
double dot(Rgb p, Rgb q) { return p.r * q.r + p.g * q.g + p.b * q.b; }
Rgb cross(Rgb p, Rgb q) { return {p.g * q.b - p.b * q.g, p.b * q.r - p.r * q.b, p.r * q.g - p.g * q.r}; }

LinearRgb blend3(LinearRgb a, LinearRgb b, LinearRgb c, double u, double v) {
    const double w = 1.0 - u - v;
    return {u * a.r + v * b.r + w * c.r, u * a.g + v * b.g + w * c.g, u * a.b + v * b.b + w * c.b};
}

// Barycentric weights of x in the tetrahedron p; nothing when it is flat.
std::optional<std::array<double, 4>> barycentric(const std::array<Rgb, 4>& p, Rgb x) {
    const Rgb e1 = minus(p[1], p[0]);
    const Rgb e2 = minus(p[2], p[0]);
    const Rgb e3 = minus(p[3], p[0]);
    const double volume = dot(e1, cross(e2, e3));
    if (std::fabs(volume) < 1e-9) return std::nullopt;
    const Rgb d = minus(x, p[0]);
    const double w1 = dot(d, cross(e2, e3)) / volume;
    const double w2 = dot(e1, cross(d, e3)) / volume;
    const double w3 = dot(e1, cross(e2, d)) / volume;
    return std::array<double, 4>{1.0 - w1 - w2 - w3, w1, w2, w3};
}

template <typename Corner>
std::array<Rgb, 4> corners_of(const std::array<std::size_t, 4>& cell, Corner corner) {
    return {corner(cell[0]), corner(cell[1]), corner(cell[2]), corner(cell[3])};
}

// Every tetrahedron of four inks whose circumsphere holds no other ink.
std::vector<std::array<std::size_t, 4>> delaunay_cells(std::span<const Rgb> p) {
    std::vector<std::array<std::size_t, 4>> cells;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            for (std::size_t k = j + 1; k < n; ++k)
                for (std::size_t l = k + 1; l < n; ++l) {
                    const Rgb a = minus(p[j], p[i]);
                    const Rgb b = minus(p[k], p[i]);
                    const Rgb c = minus(p[l], p[i]);
                    const double volume = dot(a, cross(b, c));
                    if (std::fabs(volume) < 1e-6) continue;
                    // Centre relative to p[i]: solves 2 (q - p[i]) . centre = |q - p[i]|^2.
                    const Rgb rhs{dot(a, a) / 2.0, dot(b, b) / 2.0, dot(c, c) / 2.0};
                    const Rgb bc = cross(b, c);
                    const Rgb ca = cross(c, a);
                    const Rgb ab = cross(a, b);
                    const Rgb centre{(rhs.r * bc.r + rhs.g * ca.r + rhs.b * ab.r) / volume,
                                     (rhs.r * bc.g + rhs.g * ca.g + rhs.b * ab.g) / volume,
                                     (rhs.r * bc.b + rhs.g * ca.b + rhs.b * ab.b) / volume};
                    const double radius = dot(centre, centre);
                    bool empty = true;
                    for (std::size_t m = 0; m < n && empty; ++m) {
                        if (m == i || m == j || m == k || m == l) continue;
                        const Rgb d = minus(minus(p[m], p[i]), centre);
                        empty = dot(d, d) >= radius * (1.0 - 1e-9);
                    }
                    if (empty) cells.push_back({i, j, k, l});
                }
    return cells;
}

// The weights of the cell (from `cells`) that holds x best: largest smallest weight.
std::optional<std::pair<std::array<std::size_t, 4>, std::array<double, 4>>> best_cell(
    std::span<const std::array<std::size_t, 4>> cells, const auto& corner, Rgb x) {
    std::optional<std::pair<std::array<std::size_t, 4>, std::array<double, 4>>> best;
    double best_low = -std::numeric_limits<double>::infinity();
    for (const auto& cell : cells) {
        const auto w = barycentric(corners_of(cell, corner), x);
        if (!w) continue;
        const double low = *std::min_element(w->begin(), w->end());
        if (low > best_low) {
            best_low = low;
            best = {{cell, *w}};
        }
    }
    return best;
}

std::vector<double> spread(std::size_t count, const std::array<std::size_t, 4>& cell, std::array<double, 4> w) {
    double sum = 0.0;
    for (double& v : w) sum += (v = std::max(v, 0.0));
    std::vector<double> proportions(count, 0.0);
    for (std::size_t c = 0; c < 4; ++c) proportions[cell[c]] += w[c] / sum;
    return proportions;
}

// Closest colour (CIEDE2000) of the facets to `lab`, by a coarse grid on every
// facet and a pattern search on the best one.
LinearRgb closest_on_surface(const InkMixer& mixer, Lab lab) {
    double best = std::numeric_limits<double>::infinity();
    const HullFacet* best_facet = nullptr;
    double best_u = 0.0;
    double best_v = 0.0;
    const auto corners = [&](const HullFacet& f) {
        return std::array<LinearRgb, 3>{mixer.light[f.corners[0]], mixer.light[f.corners[1]],
                                        mixer.light[f.corners[2]]};
    };
    const auto distance = [&](const std::array<LinearRgb, 3>& c, double u, double v) {
        return delta_e2000(lab, lab_from_xyz(xyz_from_linear(blend3(c[0], c[1], c[2], u, v))));
    };
    for (const HullFacet& facet : mixer.light_hull.facets) {
        const auto c = corners(facet);
        for (int i = 0; i <= kFacetSteps; ++i)
            for (int j = 0; i + j <= kFacetSteps; ++j) {
                const double u = double(i) / kFacetSteps;
                const double v = double(j) / kFacetSteps;
                const double d = distance(c, u, v);
                if (d < best) {
                    best = d;
                    best_facet = &facet;
                    best_u = u;
                    best_v = v;
                }
            }
    }
    const auto c = corners(*best_facet);
    double step = 0.5 / kFacetSteps;
    for (int level = 0; level < kRefinements; ++level, step /= 2.0) {
        const double centre_u = best_u;
        const double centre_v = best_v;
        for (int du = -1; du <= 1; ++du)
            for (int dv = -1; dv <= 1; ++dv) {
                const double u = centre_u + du * step;
                const double v = centre_v + dv * step;
                if (u < 0.0 || v < 0.0 || u + v > 1.0) continue;
                const double d = distance(c, u, v);
                if (d < best) {
                    best = d;
                    best_u = u;
                    best_v = v;
                }
            }
    }
    return blend3(c[0], c[1], c[2], best_u, best_v);
}

LinearRgb surface_lookup(const InkMixer& mixer, LinearRgb wanted) {
    const Rgb encoded = rgb_from_linear(wanted);
    LinearRgb out;
    for (const auto& [index, weight] : cube_corners(encoded.r, encoded.g, encoded.b, kSurfaceGrid)) {
        const LinearRgb& s = mixer.surface[index];
        out = {out.r + weight * s.r, out.g + weight * s.g, out.b + weight * s.b};
    }
    return out;
}

// The point where the way from q (inside) to p leaves the hull; p when inside.
LinearRgb clip_towards(const InkMixer& mixer, LinearRgb p, LinearRgb q) {
    const Rgb pp = point(p);
    const Rgb qq = point(q);
    const Rgb v = minus(pp, qq);
    double t = 1.0;
    for (const HullFacet& f : mixer.light_hull.facets) {
        const double along = dot(f.normal, v);
        if (along > 1e-12) t = std::min(t, std::max(f.offset - dot(f.normal, qq), 0.0) / along);
    }
    return {q.r + t * (p.r - q.r), q.g + t * (p.g - q.g), q.b + t * (p.b - q.b)};
}

}  // namespace

InkMixerResult make_ink_mixer(std::span<const Rgb> engine, std::span<const LinearRgb> light, std::size_t black,
                              std::size_t white, std::span<const Rgb> selection) {
    InkMixerResult result;
    if (selection.empty()) selection = engine;
    if (engine.size() != light.size() || selection.size() != light.size() || black >= light.size() ||
        white >= light.size()) {
        result.error = "the black and the white ink must be among the inks";
        return result;
    }
    InkMixer mixer;
    mixer.engine.assign(engine.begin(), engine.end());
    mixer.light.assign(light.begin(), light.end());
    mixer.black = black;
    mixer.white = white;
    std::vector<Rgb> points;
    for (const LinearRgb& ink : light) points.push_back(point(ink));
    std::optional<InkHull> hull = build_ink_hull(points);
    if (!hull) {
        result.error = "the ink colours span no volume, so no colour can be mixed from them";
        return result;
    }
    if (!(xyz_from_linear(light[white]).y > xyz_from_linear(light[black]).y)) {
        result.error = "the white ink must be lighter than the black ink";
        return result;
    }
    mixer.light_hull = std::move(*hull);
    mixer.cells = delaunay_cells(selection);
    constexpr int n = kSurfaceGrid;
    mixer.surface.reserve(n * n * n);
    for (int r = 0; r < n; ++r)
        for (int g = 0; g < n; ++g)
            for (int b = 0; b < n; ++b) {
                const Rgb grid{255.0 * r / (n - 1), 255.0 * g / (n - 1), 255.0 * b / (n - 1)};
                mixer.surface.push_back(closest_on_surface(mixer, lab_from_rgb(grid)));
            }
    result.mixer = std::move(mixer);
    return result;
}

bool is_reachable(const InkMixer& mixer, LinearRgb colour) { return is_inside(mixer.light_hull, point(colour)); }

LinearRgb reachable_target(const InkMixer& mixer, LinearRgb wanted) {
    if (is_reachable(mixer, wanted)) return wanted;
    const LinearRgb mapped = surface_lookup(mixer, wanted);
    if (is_reachable(mixer, mapped)) return mapped;
    // Between grid colours the interpolation can cut a corner of the hull:
    // back along the way to the black-white mix of the same luminance.
    const LinearRgb k = mixer.light[mixer.black];
    const LinearRgb w = mixer.light[mixer.white];
    const double yk = xyz_from_linear(k).y;
    const double yw = xyz_from_linear(w).y;
    const double t = std::clamp((xyz_from_linear(mapped).y - yk) / (yw - yk), 0.0, 1.0);
    return clip_towards(mixer, mapped, {k.r + t * (w.r - k.r), k.g + t * (w.g - k.g), k.b + t * (w.b - k.b)});
}

std::vector<double> proportions_for(const InkMixer& mixer, LinearRgb target) {
    const auto light = [&](std::size_t i) { return point(mixer.light[i]); };
    const Rgb x = point(target);
    auto best = best_cell(mixer.cells, light, x);
    if (!best || *std::min_element(best->second.begin(), best->second.end()) < -kWeightSlack) {
        // The Delaunay cells, taken in linear light, leave a gap here: any
        // four inks that hold the target, with the least spread in the engine's space.
        std::vector<std::array<std::size_t, 4>> all;
        const std::size_t n = mixer.light.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                for (std::size_t k = j + 1; k < n; ++k)
                    for (std::size_t l = k + 1; l < n; ++l) all.push_back({i, j, k, l});
        double least = std::numeric_limits<double>::infinity();
        for (const auto& cell : all) {
            const auto w = barycentric(corners_of(cell, light), x);
            if (!w || *std::min_element(w->begin(), w->end()) < -kWeightSlack) continue;
            double cost = 0.0;
            for (std::size_t c = 0; c < 4; ++c) cost += (*w)[c] * dot(mixer.engine[cell[c]], mixer.engine[cell[c]]);
            if (cost < least) {
                least = cost;
                best = {{cell, *w}};
            }
        }
        if (!best) best = best_cell(all, light, x);
    }
    return spread(mixer.light.size(), best->first, best->second);
}

std::vector<double> engine_proportions(const InkMixer& mixer, Rgb engine_target) {
    const auto engine = [&](std::size_t i) { return mixer.engine[i]; };
    const auto best = best_cell(mixer.cells, engine, engine_target);
    if (!best) return std::vector<double>(mixer.engine.size(), 0.0);
    return spread(mixer.engine.size(), best->first, best->second);
}

Rgb engine_average(const InkMixer& mixer, std::span<const double> proportions) {
    Rgb sum;
    for (std::size_t i = 0; i < proportions.size(); ++i) {
        const Rgb& e = mixer.engine[i];
        sum = {sum.r + proportions[i] * e.r, sum.g + proportions[i] * e.g, sum.b + proportions[i] * e.b};
    }
    return sum;
}

LinearRgb light_mix(const InkMixer& mixer, std::span<const double> proportions) {
    LinearRgb sum;
    for (std::size_t i = 0; i < proportions.size(); ++i) {
        const LinearRgb& e = mixer.light[i];
        sum = {sum.r + proportions[i] * e.r, sum.g + proportions[i] * e.g, sum.b + proportions[i] * e.b};
    }
    return sum;
}

LinearRgb tone_mapped(const InkMixer& mixer, LinearRgb wanted) {
    const double black = lab_from_xyz(xyz_from_linear(mixer.light[mixer.black])).l;
    const double white = lab_from_xyz(xyz_from_linear(mixer.light[mixer.white])).l;
    const Lab lab = lab_from_xyz(xyz_from_linear(wanted));
    return linear_from_lab({black + (white - black) * lab.l / 100.0, lab.a, lab.b});
}

Rgb engine_target_for(const InkMixer& mixer, LinearRgb wanted) {
    return engine_average(mixer, proportions_for(mixer, reachable_target(mixer, wanted)));
}

}  // namespace lut_builder
