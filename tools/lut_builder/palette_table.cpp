#include "tools/lut_builder/palette_table.h"

#include <algorithm>
#include <cmath>

namespace lut_builder {

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

std::vector<Rgb8> palette_table(const InkMixer& mixer) {
    return fill_table([&](Rgb8 input) {
        const Rgb original = undo_green_enhancement(to_rgb(input));
        const Rgb average = engine_target_for(mixer, linear_from_rgb(original));
        return to_bytes(rgb_from_lab({average.r + kLightnessLift, average.g, average.b}));
    });
}

}  // namespace lut_builder
