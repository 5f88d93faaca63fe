// Conversions between 8-bit RGB, HSV, HSL, CIE XYZ (white Y = 100) and
// CIELAB (D65 white 95.047, 100, 108.883), all in double precision. Three
// power functions are replaced by the lookups of colour_tables.h, indexed by
// truncated values; the results are quantised accordingly and every
// bracketing below is deliberate (sums are evaluated as written). Powers
// beyond the tables are those of rounded_maths.h, the same on every machine.
//
// The functions used per pixel are inline so that the colour stages can
// call them in their loops without a call each.
#pragma once

#include <climits>
#include <cmath>

#include "common/rounded_maths.h"
#include "common/srgb.h"
#include "ulmarender/engine/colour_cube.h"
#include "ulmarender/engine/colour_isa.h"
#include "ulmarender/engine/colour_tables.h"

namespace ulma {

inline namespace ULMA_COLOUR_ISA {

// The int a double converts to on x86-64 (cvttsd2si): truncation toward
// zero, and INT_MIN for NaN and values outside the int range.
inline int truncate_to_int(double value) {
    return (value > -2147483649.0 && value < 2147483648.0) ? static_cast<int>(value) : INT_MIN;
}

inline double max_my(double a, double b) { return a >= b ? a : b; }
inline double min_my(double a, double b) { return a <= b ? a : b; }

// The channels of r, g, b on 0..1, their least and largest value and the
// spread between them, as rgb2hsl and rgb2hsv start.
struct ChannelSpread {
    double R, G, B, Min, Max, D;
};
inline ChannelSpread channel_spread(int r, int g, int b) {
    const double R = r / 255.0;
    const double G = g / 255.0;
    const double B = b / 255.0;
    const double Min = min_my(min_my(R, G), B);
    const double Max = max_my(max_my(R, G), B);
    return {R, G, B, Min, Max, Max - Min};
}

// The hue (0..1) of R, G, B (0..1) whose largest value is Max and whose
// spread D is not 0, as both rgb2hsl and rgb2hsv compute it.
inline double hue_of(double R, double G, double B, double Max, double D) {
    const double dR = (D / 2 + (Max - R) / 6) / D;
    const double dG = (D / 2 + (Max - G) / 6) / D;
    const double dB = (D / 2 + (Max - B) / 6) / D;
    double h = 0;
    if (R == Max) {
        h = dB - dG;
    } else if (G == Max) {
        h = 1.0 / 3.0 + dR - dB;
    } else {
        h = 2.0 / 3.0 + dG - dR;
    }
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    return h;
}

inline void rgb2hsv(double& h, double& s, double& v, int r, int g, int b) {
    const auto [R, G, B, Min, Max, D] = channel_spread(r, g, b);
    v = Max;
    if (D == 0) {
        h = 0;
        s = 0;
        return;
    }
    s = D / Max;
    h = hue_of(R, G, B, Max, D);
}

// What hsv2rgb makes of a hue h and a saturation s != 0: the factors the
// value v is multiplied by for each channel (1 for the channel that is v
// itself, 1 - s, 1 - f s or 1 - (1 - f) s for the others).
struct HsvFactors {
    double r, g, b;
};
inline HsvFactors hsv_factors(double h, double s) {
    double h6 = h * 6;
    if (h6 == 6) h6 = 0;
    const double i = std::trunc(h6);
    const double f = h6 - i;
    const double p = 1 - s;
    const double q = 1 - f * s;
    const double t = 1 - (1 - f) * s;
    if (i == 0) return {1, t, p};
    if (i == 1) return {q, 1, p};
    if (i == 2) return {p, 1, t};
    if (i == 3) return {p, q, 1};
    if (i == 4) return {t, p, 1};
    return {1, p, q};
}

// Components are truncated toward zero, never rounded or clamped.
inline void hsv_channels(int& r, int& g, int& b, const HsvFactors& factors, double v) {
    r = truncate_to_int((factors.r * v) * 255);
    g = truncate_to_int((factors.g * v) * 255);
    b = truncate_to_int((factors.b * v) * 255);
}

inline void hsv2rgb(int& r, int& g, int& b, double h, double s, double v) {
    if (s == 0) {
        r = g = b = truncate_to_int(v * 255);
        return;
    }
    hsv_channels(r, g, b, hsv_factors(h, s), v);
}

}  // namespace ULMA_COLOUR_ISA

void rgb2hsl(double& h, double& s, double& l, int r, int g, int b);
void hsl2rgb(int& r, int& g, int& b, double h, double s, double l);
double Hue_2_RGB(double v1, double v2, double vH);

inline namespace ULMA_COLOUR_ISA {

// Linear value x 100 of one channel (0 to 255, possibly fractional): the
// table entry of the channel's integer part above the 0.04045 threshold.
// Integer parts above 255, which no caller passes, use the last entry.
inline double channel_to_linear_100(double c) {
    const double unit = c / 255;
    double linear;
    if (unit > common::srgb::kDecodeThreshold) {
        linear = fast_val[c < 256.0 ? static_cast<int>(c) : 255];
    } else {
        linear = unit / common::srgb::kLinearSlope;
    }
    return linear * 100;
}

inline void rgb2xyz(double& x, double& y, double& z, double r, double g, double b) {
    const double R = channel_to_linear_100(r);
    const double G = channel_to_linear_100(g);
    const double B = channel_to_linear_100(b);
    x = (R * 0.4124 + G * 0.3576) + B * 0.1805;
    y = (R * 0.2126 + G * 0.7152) + B * 0.0722;
    z = (R * 0.0193 + G * 0.1192) + B * 0.9505;
}

// f(v) of CIELAB: the table cube root of trunc(1023 v) / 1023 while that
// index lies in the table, the exact cube root beyond it, and the linear
// segment at or below 0.008856.
inline double lab_f(double v) {
    if (v > 0.008856) {
        const double scaled = v * 1023;
        return scaled < 1024.0 ? fast_val_3[static_cast<int>(scaled)] : rounded::pow(v, 1.0 / 3.0);
    }
    return 7.787 * v + 16.0 / 116.0;
}

inline void xyz2lab(double& l, double& a, double& b, double x, double y, double z) {
    const double fX = lab_f(x / 95.047);
    const double fY = lab_f(y / 100);
    const double fZ = lab_f(z / 108.883);
    l = 116 * fY - 16;
    a = 500 * (fX - fY);
    b = 200 * (fY - fZ);
}

// Inverse of lab_f: the cube (pow(v, 3.0)) when it is above 0.008856, else
// the linear segment. Below 0.2068 the cube is below 0.008856 for certain,
// so it is not formed there.
inline double lab_f_inverse(double v) {
    const double linear_below = 0.2068;
    if (v < linear_below) return (v - 16.0 / 116.0) / 7.787;
    const double cube = cube_as_pow(v);
    return cube > 0.008856 ? cube : (v - 16.0 / 116.0) / 7.787;
}

inline void lab2xyz(double& x, double& y, double& z, double l, double a, double b) {
    const double vY = (l + 16) / 116;
    const double vX = a / 500 + vY;
    const double vZ = vY - b / 200;
    x = lab_f_inverse(vX) * 95.047;
    y = lab_f_inverse(vY) * 100;
    z = lab_f_inverse(vZ) * 108.883;
}

// sRGB companding x 255 of one linear value, neither rounded nor clamped.
// A value between 0.0031308 and 1/255 takes table entry 0 and so gives
// (1.055 * 0 - 0.055) * 255, about -14.
inline double linear_to_channel(double c) {
    double companded;
    using namespace common::srgb;
    if (c > kEncodeThreshold) {
        const double scaled = c * 255;
        const double power = scaled < 256.0 ? fast_val_2[static_cast<int>(scaled)] : rounded::pow(c, 1.0 / kGamma);
        companded = kScale * power - kOffset;
    } else {
        companded = kLinearSlope * c;
    }
    return companded * 255;
}

inline void xyz2rgb(double& r, double& g, double& b, double x, double y, double z) {
    const double X = x / 100;
    const double Y = y / 100;
    const double Z = z / 100;
    r = linear_to_channel((X * 3.2406 + Y * (-1.5372)) + Z * (-0.4986));
    g = linear_to_channel((X * (-0.9689) + Y * 1.8758) + Z * 0.0415);
    b = linear_to_channel((X * 0.0557 + Y * (-0.2040)) + Z * 1.0570);
}

}  // namespace ULMA_COLOUR_ISA

}  // namespace ulma
