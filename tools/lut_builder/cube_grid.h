// Trilinear look-up in tables sampled on an n x n x n grid over the sRGB
// cube (red slowest, blue fastest), as the builder keeps its measured
// corrections and ink surfaces.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace lut_builder {

struct CubeCorner {
    std::size_t index;  // of the grid node, red * n * n + green * n + blue
    double weight;      // its trilinear weight; the eight add up to 1
};

// The eight grid nodes around the sRGB colour (r, g, b) on the byte scale
// (clamped to the cube) and their weights.
inline std::array<CubeCorner, 8> cube_corners(double r, double g, double b, int n) {
    std::array<double, 3> x{r, g, b};
    std::array<int, 3> low{};
    for (int c = 0; c < 3; ++c) {
        x[c] = std::clamp(x[c] / 255.0, 0.0, 1.0) * (n - 1);
        low[c] = std::min(static_cast<int>(x[c]), n - 2);
        x[c] -= low[c];
    }
    std::array<CubeCorner, 8> corners{};
    for (int corner = 0; corner < 8; ++corner) {
        double weight = 1.0;
        std::size_t index = 0;
        for (int c = 0; c < 3; ++c) {
            const int up = (corner >> (2 - c)) & 1;
            weight *= up ? x[c] : 1.0 - x[c];
            index = index * n + static_cast<std::size_t>(low[c] + up);
        }
        corners[corner] = {index, weight};
    }
    return corners;
}

}  // namespace lut_builder
