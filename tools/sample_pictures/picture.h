// The in-memory picture of the sample-picture generator, its colour helpers
// and its BMP/PPM files. The generator writes its files with its own small
// writers, independent of the renderers' readers that later take them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sample_pictures {

// A colour on the sRGB byte scale; fractional and out-of-range values are
// allowed until the pixel is stored.
struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // top row first, red, green, blue, no padding
};

Picture blank_picture(int width, int height);

// Stores c at (x, y), each channel rounded to nearest and clamped to 0..255.
void put(Picture& picture, int x, int y, Rgb c);
Rgb at(const Picture& picture, int x, int y);

Rgb mix(Rgb a, Rgb b, double t);
Rgb scale(Rgb c, double factor);
double clamp01(double v);

// sRGB transfer curve on the 0..1 scale.
double srgb_to_linear(double encoded);
double linear_to_srgb(double linear);

// Fully saturated colour of a hue given in turns (0..1): red at 0, green at
// 1/3, blue at 2/3.
Rgb hue_colour(double hue);

// Small deterministic grain, -1..1, from a hash of the pixel position.
double grain(int x, int y);

// 24-bit BMP (bottom row first, blue green red, rows padded to four bytes)
// and binary PPM (P6, maximum 255). Both return false when the file cannot be
// written completely.
bool write_bmp(const std::string& path, const Picture& picture);
bool write_ppm(const std::string& path, const Picture& picture);

// Reads a binary PPM with maximum value 255; comments are allowed in the
// header. Returns false for anything else or for missing pixel bytes.
bool read_ppm(const std::string& path, Picture& picture);

}  // namespace sample_pictures
