#include "tools/lut_builder/palette_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "tools/lut_builder/cube_grid.h"
#include "tools/lut_builder/flat_inks.h"
#include "tools/lut_builder/renderer_patches.h"
#include "ulmarender/engine/colour_conversions.h"

namespace lut_builder {
namespace {

// Steps each way around a palette colour's own bytes that solid_entry tries.
constexpr int kSolidSearch = 4;

double clip_channel(double value) { return value >= 255 ? 255 : value <= 0 ? 0 : value; }

constexpr int kBiasGrid = 13;
constexpr int kBiasIterations = 3;

// What the renderer lays down less what it was given (CIELAB), at a grid of
// table entries moved into the palette's reach.
std::vector<Lab> measure_renderer(const InkMixer& mixer, std::span<const Lab> palette) {
    const RendererPalette renderer(palette);
    std::vector<Lab> bias;
    constexpr double step = 255.0 / (kBiasGrid - 1);
    for (int r = 0; r < kBiasGrid; ++r)
        for (int g = 0; g < kBiasGrid; ++g)
            for (int b = 0; b < kBiasGrid; ++b) {
                const Lab grid = lab_from_rgb({r * step, g * step, b * step});
                const Rgb inside = engine_average(mixer, engine_proportions(mixer, {grid.l, grid.a, grid.b}));
                const Rgb8 entry = to_bytes(rgb_from_lab({inside.r, inside.g, inside.b}));
                const Lab given = lab_from_rgb(to_rgb(entry));
                const Lab laid = renderer.mean_on_patch(entry);
                bias.push_back({laid.l - given.l, laid.a - given.a, laid.b - given.b});
            }
    return bias;
}

Lab bias_at(std::span<const Lab> bias, Lab colour) {
    const Rgb v = rgb_from_lab(colour);
    Lab out;
    for (const auto& [index, weight] : cube_corners(v.r, v.g, v.b, kBiasGrid)) {
        out = {out.l + weight * bias[index].l, out.a + weight * bias[index].a, out.b + weight * bias[index].b};
    }
    return out;
}

// The colour whose patch the renderer lays down as `wanted`.
Lab compensated(std::span<const Lab> bias, Lab wanted) {
    Lab entry = wanted;
    for (int i = 0; i < kBiasIterations; ++i) {
        const Lab off = bias_at(bias, entry);
        entry = {wanted.l - off.l, wanted.a - off.a, wanted.b - off.b};
    }
    return entry;
}

constexpr int kMixGrid = 13;
// Lightness counts this much more than a and b when the mix search compares
// (measured on four photographs and three palettes: 2 keeps the lightness
// error within 1 L* where 1 lets it reach 4 L* on vivid greens).
constexpr double kMixLightnessWeight = 2.0;

// The colour the renderer lays down (mix_on_patch) on a patch of each colour
// of a grid over the whole sRGB cube, its edges and corners included: where
// the renderer clips, the entry that lays down a colour can lie far from
// that colour.
std::vector<Lab> measure_mixes(std::span<const Lab> palette) {
    const RendererPalette renderer(palette);
    std::vector<Lab> laid;
    constexpr double step = 255.0 / (kMixGrid - 1);
    for (int r = 0; r < kMixGrid; ++r)
        for (int g = 0; g < kMixGrid; ++g)
            for (int b = 0; b < kMixGrid; ++b)
                laid.push_back(renderer.mix_on_patch(to_bytes({r * step, g * step, b * step})));
    return laid;
}

// The entry whose patch, as the measured grid has it, shows the colour
// closest to `wanted`: a search over the cube's bytes from the entry of
// `wanted` itself, moving to the best of the 26 neighbours at a distance of
// 32, then 16, ... 1 while one is closer (ties keep the earlier).
Rgb8 mix_search(std::span<const Lab> laid, Lab wanted) {
    const auto cost = [&](Rgb8 entry) {
        Lab seen;
        for (const auto& [index, weight] : cube_corners(entry.r, entry.g, entry.b, kMixGrid))
            seen = {seen.l + weight * laid[index].l, seen.a + weight * laid[index].a, seen.b + weight * laid[index].b};
        const double dl = kMixLightnessWeight * (seen.l - wanted.l);
        const double da = seen.a - wanted.a;
        const double db = seen.b - wanted.b;
        return (dl * dl + da * da) + db * db;
    };
    const auto moved = [](std::uint8_t v, int d) { return static_cast<std::uint8_t>(std::clamp(v + d, 0, 255)); };
    Rgb8 best = to_bytes(rgb_from_lab(wanted));
    double best_cost = cost(best);
    for (int step = 32; step >= 1; step /= 2) {
        for (bool closer = true; closer;) {
            closer = false;
            const Rgb8 from = best;
            for (int dr = -step; dr <= step; dr += step)
                for (int dg = -step; dg <= step; dg += step)
                    for (int db = -step; db <= step; db += step) {
                        const Rgb8 candidate{moved(from.r, dr), moved(from.g, dg), moved(from.b, db)};
                        const double candidate_cost = cost(candidate);
                        if (candidate_cost < best_cost) {
                            best = candidate;
                            best_cost = candidate_cost;
                            closer = true;
                        }
                    }
        }
    }
    return best;
}

}  // namespace

Lab renderer_lab(Rgb8 colour) {
    double x, y, z, r, g, b;
    Lab lab;
    ulma::rgb2xyz(x, y, z, colour.r, colour.g, colour.b);
    ulma::xyz2lab(lab.l, lab.a, lab.b, x, y, z);
    ulma::lab2xyz(x, y, z, lab.l, lab.a, lab.b);
    ulma::xyz2rgb(r, g, b, x, y, z);
    ulma::rgb2xyz(x, y, z, clip_channel(r), clip_channel(g), clip_channel(b));
    ulma::xyz2lab(lab.l, lab.a, lab.b, x, y, z);
    return lab;
}

std::size_t renderer_choice(std::span<const Lab> palette, Lab colour) {
    std::uint32_t least = std::numeric_limits<std::uint32_t>::max();
    std::size_t choice = 0;
    for (std::size_t n = 0; n < palette.size(); ++n) {
        const double dl = colour.l - palette[n].l;
        const double da = colour.a - palette[n].a / 100 * kSearchScale * 100;
        const double db = colour.b - palette[n].b / 100 * kSearchScale * 100;
        const auto distance = static_cast<std::uint32_t>(std::sqrt((dl * dl + da * da) + db * db));
        if (distance <= least) {
            least = distance;
            choice = n;
        }
    }
    return choice;
}

Rgb8 solid_entry(std::span<const Lab> palette, std::size_t n) {
    const Rgb8 centre = to_bytes(rgb_from_lab(palette[n]));
    Rgb8 best = centre;
    double best_cost = std::numeric_limits<double>::infinity();
    const auto near = [](std::uint8_t v, int d) { return static_cast<std::uint8_t>(std::clamp(v + d, 0, 255)); };
    for (int dr = -kSolidSearch; dr <= kSolidSearch; ++dr)
        for (int dg = -kSolidSearch; dg <= kSolidSearch; ++dg)
            for (int db = -kSolidSearch; db <= kSolidSearch; ++db) {
                const Rgb8 candidate{near(centre.r, dr), near(centre.g, dg), near(centre.b, db)};
                const Lab seen = renderer_lab(candidate);
                const double cost = std::max({std::fabs(seen.l - palette[n].l), std::fabs(seen.a - palette[n].a),
                                              std::fabs(seen.b - palette[n].b)}) +
                                    (renderer_choice(palette, seen) == n ? 0.0 : 1000.0);
                if (cost < best_cost) {
                    best_cost = cost;
                    best = candidate;
                }
            }
    return best;
}

InkMixerResult make_palette_mixer(std::span<const Lab> palette) {
    std::vector<Rgb> engine;
    std::vector<Rgb> selection;
    std::vector<LinearRgb> light;
    std::size_t black = 0;
    std::size_t white = 0;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const Lab& c = palette[i];
        engine.push_back({c.l, c.a, c.b});
        selection.push_back({c.l, c.a * kSearchScale, c.b * kSearchScale});
        light.push_back(linear_from_lab(c));
        if (c.l < palette[black].l) black = i;
        if (c.l > palette[white].l) white = i;
    }
    return make_ink_mixer(engine, light, black, white, selection);
}

Rgb undo_green_enhancement(Rgb enhanced) {
    const double r = enhanced.r / 255.0;
    const double g = enhanced.g / 255.0;
    const double b = enhanced.b / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double span = high - low;
    if (span <= 0.0 || high <= 0.0) return enhanced;
    const double s = span / high;
    double h = 0.0;  // hue in degrees
    if (high == r) {
        h = 60.0 * (g - b) / span;
    } else if (high == g) {
        h = 120.0 + 60.0 * (b - r) / span;
    } else {
        h = 240.0 + 60.0 * (r - g) / span;
    }
    double distance = h + 60.0;  // degrees from magenta (300), folded to 0..180
    if (distance < 0.0) distance += 360.0;
    if (distance > 360.0) distance -= 360.0;
    if (distance > 180.0) distance = 360.0 - distance;
    const double exponent = 1.0 - distance / 180.0 * s * 0.75;
    const double scale = std::pow(high, 1.0 / exponent) / high;
    return {enhanced.r * scale, enhanced.g * scale, enhanced.b * scale};
}

bool beyond_srgb_cube(std::span<const Lab> palette) {
    return std::any_of(palette.begin(), palette.end(), [](const Lab& colour) {
        const Rgb rgb = rgb_from_lab(colour);
        return std::min({rgb.r, rgb.g, rgb.b}) < -0.5 || std::max({rgb.r, rgb.g, rgb.b}) > 255.5;
    });
}

std::vector<Rgb8> palette_table(const InkMixer& mixer, const TableChoices& choices) {
    std::vector<Lab> palette;
    for (const Rgb& colour : mixer.engine) palette.push_back({colour.r, colour.g, colour.b});
    std::vector<FlatAnchor> anchors;
    if (choices.flat_inks) {
        std::vector<Rgb> entries;
        for (std::size_t n = 0; n < palette.size(); ++n) entries.push_back(to_rgb(solid_entry(palette, n)));
        // A picture shows a colour outside the sRGB cube as its clipped bytes.
        std::vector<Lab> shown;
        for (const Lab& colour : palette) shown.push_back(lab_from_rgb(to_rgb(to_bytes(rgb_from_lab(colour)))));
        anchors = ink_anchors(shown, entries, mixer.black, mixer.white);
    }
    const bool aim_mix = choices.measured_renderer &&
                         (choices.aim_mix == TableChoices::AimMix::on ||
                          (choices.aim_mix == TableChoices::AimMix::automatic && beyond_srgb_cube(palette)));
    std::vector<Lab> bias;
    if (choices.measured_renderer && !aim_mix) bias = measure_renderer(mixer, palette);
    std::vector<Lab> laid;
    if (aim_mix) laid = measure_mixes(palette);
    return fill_table([&](Rgb8 input) {
        const Rgb original = undo_green_enhancement(to_rgb(input));
        const LinearRgb wanted = linear_from_rgb(original);
        const LinearRgb aim = choices.tone_map ? tone_mapped(mixer, wanted) : wanted;
        Rgb mixing;
        if (aim_mix) {
            mixing = to_rgb(mix_search(laid, lab_from_xyz(xyz_from_linear(reachable_target(mixer, aim)))));
        } else {
            const Rgb average = engine_target_for(mixer, aim);
            mixing = bias.empty() ? rgb_from_lab({average.r + kLightnessLift, average.g, average.b})
                                  : rgb_from_lab(compensated(bias, {average.r, average.g, average.b}));
        }
        return to_bytes(anchors.empty() ? mixing : with_flat_inks(anchors, lab_from_rgb(original), mixing));
    });
}

}  // namespace lut_builder
