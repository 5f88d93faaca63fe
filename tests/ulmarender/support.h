// Inputs of the eight-colour renderer tests, made with integer arithmetic
// only (so they never depend on the maths library): seeded photo-like
// pictures, LUTs, palettes and the render-data folder the tests render with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/support.h"

namespace ulma_test {

namespace fs = std::filesystem;

using test_support::read_file;
using test_support::TempDir;
using test_support::write_file;

inline std::uint64_t fnv1a64(std::string_view bytes, std::uint64_t hash = 0xCBF29CE484222325ull) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

inline std::uint64_t fnv1a64(const std::vector<unsigned char>& bytes) {
    return fnv1a64(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// xorshift64*: the same numbers on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // 0 .. bound - 1.
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

  private:
    std::uint64_t state_;
};

inline int clamp_byte(int value) { return std::clamp(value, 0, 255); }

// w x h pixels, red, green, blue, row after row: a sky and ground gradient,
// soft discs, hard-edged boxes (one striped), a saturated green field, pure
// white and pure black patches, and noise of a few levels per channel.
inline std::vector<unsigned char> photo_like_rgb(int w, int h, std::uint64_t seed) {
    Random random(seed);
    struct Disc {
        int x, y, r2, r, g, b;
    };
    struct Box {
        int x0, y0, x1, y1, r, g, b, striped;
    };
    std::vector<Disc> discs(5);
    for (Disc& d : discs) {
        const int radius = 1 + random.below(std::max(2, std::max(w, h) / 3));
        d = {random.below(w),   random.below(h),   radius * radius,
             random.below(256), random.below(256), random.below(256)};
    }
    std::vector<Box> boxes(4);
    for (Box& b : boxes) {
        const int x0 = random.below(w);
        const int y0 = random.below(h);
        b = {x0,
             y0,
             x0 + 1 + random.below(std::max(1, w / 3)),
             y0 + 1 + random.below(std::max(1, h / 3)),
             random.below(256),
             random.below(256),
             random.below(256),
             random.below(2)};
    }
    const int horizon = h * (35 + random.below(30)) / 100;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    std::size_t at = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int r, g, b;
            if (y < horizon) {
                const int t = horizon > 0 ? y * 256 / horizon : 0;
                r = 50 + 160 * t / 256 + 20 * x / std::max(1, w);
                g = 100 + 120 * t / 256;
                b = 215 + 40 * t / 256;
            } else {
                const int grain = ((x * 7 + y * 3) % 11) - 5;
                r = 90 + 50 * y / std::max(1, h) + 3 * grain;
                g = 120 - 40 * y / std::max(1, h) + 3 * grain;
                b = 40 + 2 * grain;
            }
            for (const Disc& d : discs) {
                const int dx = x - d.x;
                const int dy = y - d.y;
                const int d2 = dx * dx + dy * dy;
                if (d2 < d.r2) {
                    // Weight 256 at the centre falling to 0 at the rim.
                    const int weight = static_cast<int>(256 - static_cast<long long>(d2) * 256 / d.r2);
                    r += (d.r - r) * weight / 256;
                    g += (d.g - g) * weight / 256;
                    b += (d.b - b) * weight / 256;
                }
            }
            for (const Box& box : boxes) {
                if (x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1) {
                    const int stripe = box.striped != 0 ? (((x / 2 + y / 3) & 1) != 0 ? 14 : -14) : 0;
                    r = box.r + stripe;
                    g = box.g + stripe;
                    b = box.b + stripe;
                }
            }
            const int band = w >= 8 ? x * 8 / w : x;
            const bool bottom_row_patch = h >= 4 && y >= h - h / 4;
            if (bottom_row_patch && band == 0) {
                r = g = b = 255;  // pure white: no noise ever
            } else if (bottom_row_patch && band == 7) {
                r = g = b = 0;  // pure black
            } else if (bottom_row_patch && band == 3) {
                r = 20, g = 200, b = 30;  // saturated green: the strongest enhancement
            } else {
                const int noise = random.below(9) - 4;
                r += noise + random.below(3) - 1;
                g += noise + random.below(3) - 1;
                b += noise + random.below(3) - 1;
            }
            rgb[at++] = static_cast<unsigned char>(clamp_byte(r));
            rgb[at++] = static_cast<unsigned char>(clamp_byte(g));
            rgb[at++] = static_cast<unsigned char>(clamp_byte(b));
        }
    }
    return rgb;
}

// A LUT file of a plausible panel for `variant`: the levels squeezed into
// the range the inks show, the channels mixed a little, and a small
// position-dependent jitter so neighbouring entries differ irregularly.
inline std::string lut_file(int variant) {
    const int floor_level = 6 + 4 * variant;
    const int span = 240 - 12 * variant;
    std::string bytes;
    bytes.reserve(786435);
    for (int r = 0; r < 64; ++r) {
        for (int g = 0; g < 64; ++g) {
            for (int b = 0; b < 64; ++b) {
                const int vr = r * 4 + 2;
                const int vg = g * 4 + 2;
                const int vb = b * 4 + 2;
                const int jitter = ((r * 131 + g * 71 + b * 29 + variant * 17) % 7) - 3;
                const int mr = (vr * 220 + vg * 25 + vb * 10) / 255;
                const int mg = (vr * 15 + vg * 225 + vb * 15) / 255;
                const int mb = (vr * 10 + vg * 30 + vb * 215) / 255;
                bytes += static_cast<char>(clamp_byte(floor_level + mr * span / 255 + jitter));
                bytes += static_cast<char>(clamp_byte(floor_level + mg * span / 255 - jitter));
                bytes += static_cast<char>(clamp_byte(floor_level + mb * span / 255 + jitter / 2));
            }
        }
    }
    return bytes + "\x11\x22\x33";
}

// Palette data texts: a typical eight-ink panel, a paler one, one with only
// five colours (the rest 0, 0, 0), and one with repeated colours, so equal
// distances occur, and a black of lightness 0.
inline const std::string kPaletteTypical =
    "16.00 1.50 -2.00\n73.00 -1.00 3.50\n68.00 -4.00 52.00\n40.00 36.00 22.00\n"
    "30.00 6.00 -30.00\n44.00 -26.00 10.00\n55.00 24.00 42.00\n33.00 18.00 -17.00\n";
inline const std::string kPalettePale =
    "20.5 0.9 -1.6\n70.25 -0.8 2.8\n64.0 -3.2 41.6\n36.0 28.8 17.6\n"
    "26.0 4.8 -24.0\n40.0 -20.8 8.0\n51.0 19.2 33.6\n29.0 14.4 -13.6\n";
inline const std::string kPaletteFive = "15 0 0\n80 0 0\n70 -5 60\n45 50 30\n35 10 -40\n0 0 0\n0 0 0\n0 0 0\n";
inline const std::string kPaletteRepeats =
    "50 0 0\n50 0 0\n20 10 10\n20 10 10\n80 -10 40\n80 -10 40\n0 5 5\n60 30 -30\n";

inline std::string ppm(int w, int h, const std::vector<unsigned char>& rgb) {
    return "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n" + std::string(rgb.begin(), rgb.end());
}

// The render-data folder ULMA_GOLDEN7_TC_03: bands -10, 0, 10, 25, 40, 60,
// 80. Band 0..10 has the five-colour palette, 10..25 the typical one,
// 25..40 no LUT, 40..60 no palette, 60..80 neither.
inline constexpr const char* kLotDirectory = "ULMA_GOLDEN7_TC_03";

inline std::string make_render_data(const fs::path& parent) {
    struct Band {
        const char* text;
        int lut_variant;  // -1: no LUT file
        const std::string* palette;
    };
    const Band bands[] = {{"-10Cto0C", 0, &kPalettePale},    {"0Cto10C", 1, &kPaletteFive},
                          {"10Cto25C", 2, &kPaletteTypical}, {"25Cto40C", -1, &kPaletteRepeats},
                          {"40Cto60C", 3, nullptr},          {"60Cto80C", -1, nullptr}};
    const fs::path dir = parent / kLotDirectory;
    fs::create_directories(dir);
    std::string waveform(64, '\0');
    waveform[38] = 5;
    const int boundaries[] = {-10, 0, 10, 25, 40, 60, 80};
    for (int i = 0; i < 7; ++i) waveform[48 + i] = static_cast<char>(boundaries[i]);
    write_file(dir / "ULMA_GOLDEN7_TC.wbf", waveform);
    for (const Band& band : bands) {
        const std::string base = "ULMA_GOLDEN7_";
        if (band.lut_variant >= 0)
            write_file(dir / (base + "lut_" + band.text + "_03.bin"), lut_file(band.lut_variant));
        if (band.palette != nullptr) write_file(dir / (base + "data_" + band.text + "_03.bin"), *band.palette);
    }
    return dir.string();
}

using ProgramResult = test_support::ProgramRun;

// Runs `program` with argv[0] = `name` and the given words in `cwd`. A run
// may cross a whole second: the time line is shown as 0 seconds.
inline ProgramResult run_program(const std::string& program, const std::string& name,
                                 const std::vector<std::string>& words, const fs::path& cwd) {
    ProgramResult result = test_support::run_program(program, words, cwd, 0, name);
    const std::string marker = "image time = ";
    for (std::size_t at = result.out.find(marker); at != std::string::npos; at = result.out.find(marker, at + 1)) {
        const std::size_t digits = at + marker.size();
        const std::size_t end = result.out.find_first_not_of("0123456789", digits);
        if (end != std::string::npos && end > digits) result.out.replace(digits, end - digits, "0");
    }
    return result;
}

}  // namespace ulma_test
