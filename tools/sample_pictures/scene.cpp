// The everything-at-once scene: a sky with a soft sun over fields, a shaded
// face, a small colour chart, a grey ramp, a hue sweep and fine detail.
#include <algorithm>
#include <cmath>

#include "tools/sample_pictures/sample_pictures.h"

namespace sample_pictures {
namespace {

Rgb background(double u, double v, int x, int y) {
    if (v < 0.62) {
        Rgb sky = mix(Rgb{70, 120, 200}, Rgb{235, 200, 170}, v / 0.62);
        // A soft sun with a wide glow.
        const double du = (u - 0.86) * 1.6;
        const double dv = v - 0.14;
        const double distance = std::sqrt(du * du + dv * dv);
        const double glow = std::exp(-distance * distance * 40.0);
        return mix(sky, Rgb{255, 244, 214}, distance < 0.05 ? 1.0 : glow * 0.8);
    }
    const double depth = (v - 0.62) / 0.38;
    Rgb ground = mix(Rgb{120, 150, 70}, Rgb{70, 55, 35}, depth);
    ground = scale(ground, 0.9 + 0.1 * std::sin(u * 40.0 + depth * 25.0));  // furrows
    const double noise = grain(x, y) * 10.0;
    return {ground.r + noise, ground.g + noise, ground.b + noise};
}

// An ellipse lit from the upper left, from highlight to shadow, with cheeks.
bool face(double u, double v, double aspect, Rgb& out) {
    const double du = (u - 0.61) / 0.085 * aspect;
    const double dv = (v - 0.36) / 0.2;
    const double r2 = du * du + dv * dv;
    if (r2 > 1.0) return false;
    const double light = clamp01(0.75 - 0.35 * du - 0.25 * dv + 0.25 * std::sqrt(1.0 - r2));
    out = mix(Rgb{120, 72, 52}, Rgb{246, 206, 180}, light);
    const double side = std::fabs(du) - 0.45;
    const double cheek = std::exp(-(side * side + (dv - 0.2) * (dv - 0.2)) * 18.0);
    out = mix(out, Rgb{222, 130, 120}, cheek * 0.35);
    return true;
}

}  // namespace

Picture scene(int width, int height) {
    Picture picture = blank_picture(width, height);
    const double aspect = static_cast<double>(width) / height;
    const int chart_left = width * 3 / 100, chart_top = height * 5 / 100;
    const int patch = std::max(3, std::min(width * 40 / 100 / 6, height * 50 / 100 / 4));
    const int detail_left = width * 78 / 100, detail_top = height * 30 / 100;
    const int detail_size = std::max(2, std::min(width * 19 / 100, height * 40 / 100));
    const int ramp_left = width * 3 / 100, ramp_right = width - ramp_left;

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            const double v = (y + 0.5) / height;
            Rgb c = background(u, v, x, y);
            face(u, v, aspect, c);

            const int cx = x - chart_left, cy = y - chart_top;
            if (cx >= 0 && cy >= 0 && cx < patch * 6 && cy < patch * 4) {
                const ChartPatch& p = kColourChart[static_cast<std::size_t>(cy / patch * 6 + cx / patch)];
                c = cx % patch < 2 || cy % patch < 2 ? Rgb{20, 20, 20} : Rgb{double(p.r), double(p.g), double(p.b)};
            }

            const int dx = x - detail_left, dy = y - detail_top;
            if (dx >= 0 && dy >= 0 && dx < detail_size && dy < detail_size) {
                const int half = detail_size / 2;
                if (dy < half) {
                    const double px = dx - detail_size / 2.0, py = dy - half / 2.0;
                    const double level = 0.5 + 0.5 * std::cos((px * px + py * py) * 3.14159265 / detail_size);
                    c = {level * 255.0, level * 255.0, level * 255.0};
                } else if (dx < half) {
                    c = dy % 2 == 0 ? Rgb{230, 40, 40} : Rgb{40, 40, 230};  // one-pixel stripes
                } else {
                    c = (dx / 2 + dy / 2) % 2 == 0 ? Rgb{250, 250, 250} : Rgb{10, 10, 10};
                }
            }

            if (x >= ramp_left && x < ramp_right) {
                const double t = static_cast<double>(x - ramp_left) / std::max(1, ramp_right - ramp_left - 1);
                if (v >= 0.80 && v < 0.87) c = {t * 255.0, t * 255.0, t * 255.0};
                if (v >= 0.88 && v < 0.96) c = hue_colour(t);
            }
            put(picture, x, y, c);
        }
    }
    return picture;
}

}  // namespace sample_pictures
