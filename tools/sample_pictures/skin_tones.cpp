// Skin colours as shaded balls: smooth, low-chroma gradations in the colours
// viewers judge most critically.
#include <algorithm>
#include <array>
#include <cmath>

#include "tools/sample_pictures/sample_pictures.h"

namespace sample_pictures {
namespace {

// Lit skin colours from very light to deep, including pink, olive and
// yellowish undertones.
constexpr std::array<Rgb, 12> kSkin{{
    {255, 228, 206},
    {247, 214, 190},
    {240, 200, 178},
    {234, 192, 150},
    {224, 172, 142},
    {214, 170, 120},
    {198, 142, 110},
    {176, 124, 88},
    {150, 100, 72},
    {120, 78, 56},
    {92, 58, 42},
    {64, 42, 32},
}};

Rgb to_linear(Rgb c) { return {srgb_to_linear(c.r / 255.0), srgb_to_linear(c.g / 255.0), srgb_to_linear(c.b / 255.0)}; }

Rgb to_bytes(Rgb linear) {
    return {linear_to_srgb(clamp01(linear.r)) * 255.0, linear_to_srgb(clamp01(linear.g)) * 255.0,
            linear_to_srgb(clamp01(linear.b)) * 255.0};
}

// A ball of radius 1 at the origin, (dx, dy) inside the unit disc: diffuse
// light from the upper left with a soft ambient term, a faint warm
// subsurface glow towards the rim, and a small broad highlight.
Rgb shaded_skin(Rgb base, double dx, double dy) {
    const double dz = std::sqrt(std::max(0.0, 1.0 - dx * dx - dy * dy));
    const double lx = -0.45, ly = -0.5, lz = 0.74;  // unit light direction
    const double diffuse = std::max(0.0, dx * lx + dy * ly + dz * lz);
    const double rim = std::pow(1.0 - dz, 2.0);
    const Rgb albedo = to_linear(base);
    Rgb lit = scale(albedo, 0.18 + 0.95 * diffuse);
    lit = {lit.r + 0.06 * rim * albedo.r, lit.g + 0.03 * rim * albedo.g, lit.b + 0.02 * rim * albedo.b};
    // Highlight: the half-vector of the light and the viewer.
    const double hx = lx, hy = ly, hz = lz + 1.0;
    const double hn = std::sqrt(hx * hx + hy * hy + hz * hz);
    const double specular = std::pow(std::max(0.0, (dx * hx + dy * hy + dz * hz) / hn), 24.0) * 0.12;
    return to_bytes({lit.r + specular, lit.g + specular, lit.b + specular});
}

}  // namespace

Picture skin_tones(int width, int height) {
    Picture picture = blank_picture(width, height);
    const int columns = width * 2 >= height * 3 ? 6 : 4;
    const int rows = static_cast<int>(kSkin.size()) / columns;
    const double cell_w = static_cast<double>(width) / columns;
    const double cell_h = static_cast<double>(height) / rows;
    const double radius = std::min(cell_w, cell_h) * 0.42;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double v = (y + 0.5) / height;
            // Soft neutral background, lighter at the top.
            Rgb c = mix(Rgb{206, 204, 200}, Rgb{132, 130, 128}, v);
            const int column = std::min(columns - 1, static_cast<int>(x / cell_w));
            const int row = std::min(rows - 1, static_cast<int>(y / cell_h));
            const double dx = (x + 0.5 - (column + 0.5) * cell_w) / radius;
            const double dy = (y + 0.5 - (row + 0.5) * cell_h) / radius;
            const double r2 = dx * dx + dy * dy;
            if (r2 < 1.0) {
                c = shaded_skin(kSkin[static_cast<std::size_t>(row * columns + column)], dx, dy);
            } else {
                // Contact shadow below and to the right of the ball.
                const double sx = dx - 0.25, sy = dy - 0.35;
                const double shadow = std::exp(-std::max(0.0, sx * sx + sy * sy - 1.0) * 6.0);
                c = scale(c, 1.0 - 0.35 * shadow);
            }
            put(picture, x, y, c);
        }
    }
    return picture;
}

}  // namespace sample_pictures
