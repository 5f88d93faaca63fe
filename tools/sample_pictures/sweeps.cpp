// Hue, lightness, grey and saturation sweeps: smooth gradations show whether
// a renderer keeps hues apart and lightness steps even, or bands and shifts.
#include <algorithm>
#include <array>
#include <cmath>

#include "tools/sample_pictures/sample_pictures.h"

namespace sample_pictures {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kMidGrey{128, 128, 128};

// Hue across (0..1 turns), lightness down: white at the top, the full colour
// in the middle, black at the bottom.
Rgb hue_lightness(double u, double v) {
    const Rgb full = hue_colour(u);
    return v < 0.5 ? mix(kWhite, full, v * 2.0) : mix(full, kBlack, (v - 0.5) * 2.0);
}

Rgb grey(double level) { return {level, level, level}; }

}  // namespace

Picture sweeps(int width, int height) {
    Picture picture = blank_picture(width, height);
    // Bands from the top: hue x lightness (55%), smooth grey ramp (10%),
    // grey ramp in 16 steps (10%), six saturation ramps (25%).
    const int hue_end = height * 55 / 100;
    const int smooth_end = height * 65 / 100;
    const int steps_end = height * 75 / 100;
    const std::array<double, 6> ramp_hues{0.0, 1.0 / 6.0, 2.0 / 6.0, 3.0 / 6.0, 4.0 / 6.0, 5.0 / 6.0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            Rgb c;
            if (y < hue_end) {
                c = hue_lightness(u, (y + 0.5) / hue_end);
            } else if (y < smooth_end) {
                c = grey(255.0 * x / std::max(1, width - 1));
            } else if (y < steps_end) {
                c = grey(255.0 * std::floor(u * 16.0) / 15.0);
            } else {
                // From mid grey at the left to the full colour at the right.
                const int band = std::min(5, (y - steps_end) * 6 / std::max(1, height - steps_end));
                c = mix(kMidGrey, hue_colour(ramp_hues[static_cast<std::size_t>(band)]), u);
            }
            put(picture, x, y, c);
        }
    }
    return picture;
}

}  // namespace sample_pictures
