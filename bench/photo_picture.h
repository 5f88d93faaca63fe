// A real photograph at benchmark size: a binary PPM (P6, 8-bit) scaled to
// cover width x height (bilinear, centred crop). The bundled photographs
// are smaller than 4K, so the picture is an enlargement, with the colours
// and edges of a photograph. Header-only, for any benchmark and the
// benchmark picture writer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

// width x height pixels, three bytes each, blue, green, red (rgb = true gives
// red, green, blue); empty when the file is not a readable 8-bit P6.
inline std::vector<std::uint8_t> photo_picture(const std::string& ppm_path, int width, int height, bool rgb = false) {
    std::ifstream file(ppm_path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    if (!(file >> magic >> w >> h >> maxval) || magic != "P6" || maxval != 255 || w < 2 || h < 2) return {};
    file.get();  // the one blank after the header
    std::vector<std::uint8_t> source(static_cast<std::size_t>(w) * h * 3);
    if (!file.read(reinterpret_cast<char*>(source.data()), static_cast<std::streamsize>(source.size()))) return {};

    // Cover: the smaller scale that fills both sides, centred.
    const double scale = std::max(static_cast<double>(width) / w, static_cast<double>(height) / h);
    const double x_offset = (w * scale - width) / 2, y_offset = (h * scale - height) / 2;
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* out = picture.data();
    for (int y = 0; y < height; ++y) {
        const double sy = std::clamp((y + y_offset + 0.5) / scale - 0.5, 0.0, h - 1.0);
        const int y0 = std::min(static_cast<int>(sy), h - 2);
        const double fy = sy - y0;
        for (int x = 0; x < width; ++x, out += 3) {
            const double sx = std::clamp((x + x_offset + 0.5) / scale - 0.5, 0.0, w - 1.0);
            const int x0 = std::min(static_cast<int>(sx), w - 2);
            const double fx = sx - x0;
            const std::uint8_t* p = source.data() + (static_cast<std::size_t>(y0) * w + x0) * 3;
            const std::uint8_t* q = p + static_cast<std::size_t>(w) * 3;
            for (int c = 0; c < 3; ++c) {
                const double top = p[c] + (p[c + 3] - p[c]) * fx, bottom = q[c] + (q[c + 3] - q[c]) * fx;
                out[rgb ? c : 2 - c] =
                    static_cast<std::uint8_t>(std::clamp(top + (bottom - top) * fy + 0.5, 0.0, 255.0));
            }
        }
    }
    return picture;
}

}  // namespace bench
