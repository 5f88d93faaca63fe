// A deterministic picture that looks enough like a photograph for timing
// image code: smooth gradients (sky, vignette), soft round shapes, hard
// edges, fine texture and a little sensor noise. The same seed always gives
// the same bytes. Header-only, for any benchmark.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

// Small fast generator (xorshift64*); deterministic across platforms.
class PictureRandom {
  public:
    explicit PictureRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1DULL;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    std::uint64_t state_;
};

// width x height pixels, three bytes each in the order blue, green, red
// (rgb = true gives red, green, blue), row after row from the top, no padding.
inline std::vector<std::uint8_t> photo_like_picture(int width, int height, std::uint64_t seed = 1, bool rgb = false) {
    struct Blob {
        double x, y, radius, r, g, b, hardness;
    };
    struct Box {
        double x0, y0, x1, y1, r, g, b;
    };
    PictureRandom random(seed);
    std::vector<Blob> blobs(12);
    for (auto& blob : blobs)
        blob = {random.unit() * width,    random.unit() * height, (0.05 + 0.2 * random.unit()) * width,
                255 * random.unit(),      255 * random.unit(),    255 * random.unit(),
                1.0 + 6.0 * random.unit()};
    std::vector<Box> boxes(6);
    for (auto& box : boxes) {
        const double x = random.unit() * width, y = random.unit() * height;
        box = {x,
               y,
               x + (0.05 + 0.25 * random.unit()) * width,
               y + (0.05 + 0.2 * random.unit()) * height,
               255 * random.unit(),
               255 * random.unit(),
               255 * random.unit()};
    }
    const double horizon = height * (0.35 + 0.2 * random.unit());
    const double texture_scale = 0.15 + 0.2 * random.unit();

    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* out = picture.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, out += 3) {
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            double r, g, b;
            if (y < horizon) {  // sky: blue at the top, paler at the horizon
                const double t = y / horizon;
                r = 60 + 150 * t;
                g = 110 + 110 * t;
                b = 220 + 25 * t;
            } else {  // ground: green-brown with a fine grain
                const double grain = std::sin(x * texture_scale) * std::sin(y * texture_scale * 1.3);
                r = 90 + 40 * v + 25 * grain;
                g = 110 - 30 * v + 25 * grain;
                b = 50 + 20 * grain;
            }
            for (const auto& blob : blobs) {
                const double dx = x - blob.x, dy = y - blob.y;
                const double d = std::sqrt(dx * dx + dy * dy) / blob.radius;
                if (d < 1.0) {
                    const double a = std::pow(1.0 - d, 1.0 / blob.hardness);
                    r += (blob.r - r) * a;
                    g += (blob.g - g) * a;
                    b += (blob.b - b) * a;
                }
            }
            for (const auto& box : boxes)
                if (x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1) {
                    const double stripe = ((x / 3 + y / 3) & 1) ? 12.0 : -12.0;  // woven texture
                    r = box.r + stripe;
                    g = box.g + stripe;
                    b = box.b + stripe;
                }
            const double vignette = 1.0 - 0.35 * ((u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5));
            const double noise = 8.0 * (random.unit() - 0.5);
            auto byte = [&](double c) {
                return static_cast<std::uint8_t>(std::clamp(c * vignette + noise, 0.0, 255.0));
            };
            const std::uint8_t red = byte(r), green = byte(g), blue = byte(b);
            out[0] = rgb ? red : blue;
            out[1] = green;
            out[2] = rgb ? blue : red;
        }
    }
    return picture;
}

}  // namespace bench
