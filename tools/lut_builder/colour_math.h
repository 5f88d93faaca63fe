// Colour conversions of the LUT builder: sRGB bytes <-> linear light <->
// CIE XYZ (D65) <-> CIELAB, by the standard formulas in double precision.
// Values are never clamped, so colours outside the sRGB cube survive a round
// trip and can be recognised as outside.
#pragma once

namespace lut_builder {

// sRGB-encoded colour on the byte scale 0..255 (fractional values allowed).
struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// Linear-light sRGB, 0..1 inside the cube.
struct LinearRgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// CIE XYZ scaled so that the D65 white has Y = 1.
struct Xyz {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// CIELAB relative to the D65 white: L 0..100.
struct Lab {
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
};

// One channel: sRGB transfer curve, on the 0..1 scale. Odd-symmetric outside
// 0..1 so that slightly negative values stay continuous.
double srgb_to_linear(double encoded);
double linear_to_srgb(double linear);

LinearRgb linear_from_rgb(Rgb rgb);
Rgb rgb_from_linear(LinearRgb linear);

Xyz xyz_from_linear(LinearRgb linear);
LinearRgb linear_from_xyz(Xyz xyz);

Lab lab_from_xyz(Xyz xyz);
Xyz xyz_from_lab(Lab lab);

Lab lab_from_rgb(Rgb rgb);
Rgb rgb_from_lab(Lab lab);
LinearRgb linear_from_lab(Lab lab);

// Distance of (a, b) from the neutral axis.
double chroma(Lab lab);

// CIEDE2000 colour difference (kL = kC = kH = 1).
double delta_e2000(Lab first, Lab second);

// A CIELAB colour measured against the D50 white, as the same colour against
// the D65 white (Bradford chromatic adaptation).
Lab lab_d65_from_d50(Lab d50);

}  // namespace lut_builder
