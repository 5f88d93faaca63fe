// Fine detail: patterns at and beyond the resolution a dithered panel can
// show, where error diffusion either keeps structure or turns it into noise.
// Four tiles: a zone plate; line groups; text-like strokes; a line star with
// one-pixel checkerboards and stripes.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/sample_pictures/sample_pictures.h"

namespace sample_pictures {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kWhite{250, 250, 250};
constexpr Rgb kInk{12, 12, 12};

std::uint32_t hash3(int a, int b, int c) {
    std::uint32_t h = static_cast<std::uint32_t>(a) * 73856093u ^ static_cast<std::uint32_t>(b) * 19349663u ^
                      static_cast<std::uint32_t>(c) * 83492791u;
    h = (h ^ (h >> 15)) * 2246822519u;
    return h ^ (h >> 13);
}

// Rings whose frequency grows with the distance from the centre and reaches
// one cycle per two pixels on the circle that touches the tile's edges.
Rgb zone_plate(int x, int y, int w, int h) {
    const double px = x + 0.5 - w / 2.0;
    const double py = y + 0.5 - h / 2.0;
    const double reach = std::min(w, h) / 2.0;
    const double level = 0.5 + 0.5 * std::cos(kPi * (px * px + py * py) / (2.0 * reach));
    return mix(kInk, kWhite, level);
}

// Six blocks: vertical lines 1, 2 and 3 pixels wide (gaps as wide) on the
// top row; horizontal one-pixel lines and diagonal lines both ways below.
Rgb line_groups(int x, int y, int w, int h) {
    const int block = std::min(2, x * 3 / std::max(1, w));
    const bool top = y < h / 2;
    bool ink = false;
    if (top) {
        const int width = block + 1;
        ink = x % (2 * width) < width;
    } else if (block == 0) {
        ink = y % 2 == 0;
    } else if (block == 1) {
        ink = (x + y) % 4 < 1;
    } else {
        ink = (x - y + 4 * h) % 6 < 2;
    }
    return ink ? kInk : kWhite;
}

// One text-like glyph in a box of gw x gh pixels with strokes t wide: two to
// five of eight strokes (three stems, three bars, two diagonals), chosen by
// the code.
bool glyph_ink(int gx, int gy, int gw, int gh, int t, std::uint32_t code) {
    const int letter_w = gw - std::max(1, gw / 4);  // the rest is spacing
    if (gx >= letter_w) return false;
    const bool strokes[8] = {
        (code & 1u) != 0 && gx < t,                                       // left stem
        (code & 2u) != 0 && gx >= letter_w - t,                           // right stem
        (code & 4u) != 0 && std::abs(2 * gx - letter_w + 1) < t,          // centre stem
        (code & 8u) != 0 && gy < t,                                       // top bar
        (code & 16u) != 0 && std::abs(2 * gy - gh + 1) < t,               // middle bar
        (code & 32u) != 0 && gy >= gh - t,                                // bottom bar
        (code & 64u) != 0 && std::abs(gx * gh - gy * letter_w) < t * gh,  // diagonal
        (code & 128u) != 0 && std::abs(gx * gh - (gh - 1 - gy) * letter_w) < t * gh,
    };
    return std::any_of(std::begin(strokes), std::end(strokes), [](bool s) { return s; });
}

struct TextStyle {
    int glyph_height;
    Rgb ink;
    Rgb paper;
};

// Lines of words of 2 to 7 glyphs; roughly every sixth glyph cell is a space.
Rgb text_like(int x, int y, int seed, const TextStyle& style) {
    const int gh = style.glyph_height;
    const int gw = std::max(3, gh * 3 / 5);
    const int t = std::max(1, gh / 7);
    const int line_h = gh * 8 / 5;
    const int line = y / line_h;
    const int ly = y % line_h;
    const int cell = x / gw;
    if (ly >= gh || hash3(line, cell, seed) % 6 == 0) return style.paper;
    const std::uint32_t code = hash3(seed, line * 7919 + cell, 17) & 0xFFu;
    // Two bars or stems at least, so no glyph is a single line.
    const std::uint32_t filled = (code & 0x3Fu) == 0 ? code | 0x0Du : code;
    return glyph_ink(x % gw, ly, gw, gh, t, filled) ? style.ink : style.paper;
}

// Five bands of text-like strokes: small and large dark text on white,
// light text on dark, red on white and blue on yellow.
Rgb text_bands(int x, int y, int h) {
    const int small = std::max(5, h / 34);
    const TextStyle styles[5] = {
        {small, kInk, kWhite},
        {small * 2, kInk, kWhite},
        {small + small / 2, kWhite, Rgb{30, 34, 48}},
        {small, Rgb{200, 20, 30}, kWhite},
        {small + small / 2, Rgb{20, 40, 170}, Rgb{250, 230, 90}},
    };
    const int band = std::min(4, y * 5 / std::max(1, h));
    const int band_top = band * h / 5;
    return text_like(x, y - band_top, band + 1, styles[band]);
}

// Left half: a star of 36 black spokes, finer towards its centre. Right
// half, top to bottom: a one-pixel black-and-white checkerboard, one-pixel
// red and green columns, a one-pixel yellow-and-blue checkerboard.
Rgb star_and_checks(int x, int y, int w, int h) {
    const int half = w / 2;
    if (x < half) {
        const double px = x + 0.5 - half / 2.0;
        const double py = y + 0.5 - h / 2.0;
        if (px * px + py * py > (std::min(half, h) * 0.46) * (std::min(half, h) * 0.46)) return kWhite;
        const double angle = std::atan2(py, px);
        return std::sin(angle * 36.0) >= 0.0 ? kInk : kWhite;
    }
    const int third = std::min(2, y * 3 / std::max(1, h));
    const bool odd = (x + y) % 2 != 0;
    if (third == 0) return odd ? kInk : kWhite;
    if (third == 1) return x % 2 != 0 ? Rgb{220, 30, 30} : Rgb{30, 180, 50};
    return odd ? Rgb{240, 220, 20} : Rgb{30, 50, 200};
}

}  // namespace

Picture fine_detail(int width, int height) {
    Picture picture = blank_picture(width, height);
    const int tile_w = width / 2;
    const int tile_h = height / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= tile_w;
            const bool bottom = y >= tile_h;
            const int tx = right ? x - tile_w : x;
            const int ty = bottom ? y - tile_h : y;
            const int tw = right ? width - tile_w : tile_w;
            const int th = bottom ? height - tile_h : tile_h;
            Rgb c;
            if (!bottom && !right) {
                c = zone_plate(tx, ty, tw, th);
            } else if (!bottom) {
                c = line_groups(tx, ty, tw, th);
            } else if (!right) {
                c = text_bands(tx, ty, th);
            } else {
                c = star_and_checks(tx, ty, tw, th);
            }
            put(picture, x, y, c);
        }
    }
    return picture;
}

}  // namespace sample_pictures
