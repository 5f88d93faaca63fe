// Fitting a photograph to another picture size: the largest centred
// rectangle of the target's aspect ratio is cut out and resampled.
#include <algorithm>
#include <cmath>

#include "tools/sample_pictures/sample_pictures.h"

namespace sample_pictures {
namespace {

struct Window {
    double left, top, width, height;  // in source pixels
};

Window centred_window(const Picture& photo, int width, int height) {
    const double target = static_cast<double>(width) / height;
    const double source = static_cast<double>(photo.width) / photo.height;
    if (source > target) {
        const double w = photo.height * target;
        return {(photo.width - w) / 2.0, 0.0, w, double(photo.height)};
    }
    const double h = photo.width / target;
    return {0.0, (photo.height - h) / 2.0, double(photo.width), h};
}

// Average of the source area [x0, x1) x [y0, y1), partial pixels weighted by
// their covered share.
Rgb area_average(const Picture& photo, double x0, double y0, double x1, double y1) {
    Rgb sum;
    double weight = 0.0;
    const int last_y = std::min(photo.height - 1, static_cast<int>(std::ceil(y1)) - 1);
    const int last_x = std::min(photo.width - 1, static_cast<int>(std::ceil(x1)) - 1);
    for (int y = std::max(0, static_cast<int>(y0)); y <= last_y; ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
        for (int x = std::max(0, static_cast<int>(x0)); x <= last_x; ++x) {
            const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, double(x)));
            if (w <= 0.0) continue;
            const Rgb c = at(photo, x, y);
            sum = {sum.r + c.r * w, sum.g + c.g * w, sum.b + c.b * w};
            weight += w;
        }
    }
    return weight > 0.0 ? scale(sum, 1.0 / weight) : sum;
}

// Bilinear interpolation at source position (sx, sy), pixel centres at .5.
Rgb bilinear(const Picture& photo, double sx, double sy) {
    const double fx = std::clamp(sx - 0.5, 0.0, photo.width - 1.0);
    const double fy = std::clamp(sy - 0.5, 0.0, photo.height - 1.0);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const int x1 = std::min(photo.width - 1, x0 + 1), y1 = std::min(photo.height - 1, y0 + 1);
    const double tx = fx - x0, ty = fy - y0;
    const Rgb top = mix(at(photo, x0, y0), at(photo, x1, y0), tx);
    const Rgb bottom = mix(at(photo, x0, y1), at(photo, x1, y1), tx);
    return mix(top, bottom, ty);
}

}  // namespace

Picture fit_photo(const Picture& photo, int width, int height) {
    Picture picture = blank_picture(width, height);
    const Window window = centred_window(photo, width, height);
    const double step_x = window.width / width;
    const double step_y = window.height / height;
    const bool shrinking = step_x >= 1.0 && step_y >= 1.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double x0 = window.left + x * step_x;
            const double y0 = window.top + y * step_y;
            put(picture, x, y,
                shrinking ? area_average(photo, x0, y0, x0 + step_x, y0 + step_y)
                          : bilinear(photo, x0 + step_x / 2.0, y0 + step_y / 2.0));
        }
    }
    return picture;
}

}  // namespace sample_pictures
