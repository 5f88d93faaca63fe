#include "common/srgb.h"
#include "tools/lut_builder/colour_math.h"

#include <array>
#include <cmath>

namespace lut_builder {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// D65 white and the sRGB primaries as chromaticities; the conversion matrix is
// derived from them, so that sRGB white lands exactly on the Lab white.
constexpr double kWhiteX = 0.3127;
constexpr double kWhiteY = 0.3290;
constexpr std::array<std::array<double, 2>, 3> kPrimaries{{{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}}};

constexpr Xyz kWhite{kWhiteX / kWhiteY, 1.0, (1.0 - kWhiteX - kWhiteY) / kWhiteY};

constexpr double determinant(const Matrix& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

constexpr Matrix inverse(const Matrix& m) {
    const double d = determinant(m);
    Matrix result{};
    result[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / d;
    result[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / d;
    result[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / d;
    result[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / d;
    result[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / d;
    result[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / d;
    result[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / d;
    result[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / d;
    result[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / d;
    return result;
}

// Column c holds the XYZ of primary c, first at Y = 1 and then scaled so that
// the three primaries add up to the white.
constexpr Matrix rgb_to_xyz_matrix() {
    Matrix primaries{};
    for (int c = 0; c < 3; ++c) {
        const double x = kPrimaries[c][0];
        const double y = kPrimaries[c][1];
        primaries[0][c] = x / y;
        primaries[1][c] = 1.0;
        primaries[2][c] = (1.0 - x - y) / y;
    }
    const Matrix inv = inverse(primaries);
    const std::array<double, 3> white{kWhite.x, kWhite.y, kWhite.z};
    Matrix result{};
    for (int c = 0; c < 3; ++c) {
        const double scale = inv[c][0] * white[0] + inv[c][1] * white[1] + inv[c][2] * white[2];
        for (int row = 0; row < 3; ++row) result[row][c] = primaries[row][c] * scale;
    }
    return result;
}

constexpr Matrix kRgbToXyz = rgb_to_xyz_matrix();
constexpr Matrix kXyzToRgb = inverse(kRgbToXyz);

constexpr double kDelta = 6.0 / 29.0;

double lab_f(double t) {
    if (t > kDelta * kDelta * kDelta) return std::cbrt(t);
    return t / (3.0 * kDelta * kDelta) + 4.0 / 29.0;
}

double lab_f_inverse(double u) {
    if (u > kDelta) return u * u * u;
    return 3.0 * kDelta * kDelta * (u - 4.0 / 29.0);
}

}  // namespace

double srgb_to_linear(double encoded) { return std::copysign(common::srgb::to_linear(std::fabs(encoded)), encoded); }

double linear_to_srgb(double linear) { return std::copysign(common::srgb::to_encoded(std::fabs(linear)), linear); }

LinearRgb linear_from_rgb(Rgb rgb) {
    return {srgb_to_linear(rgb.r / 255.0), srgb_to_linear(rgb.g / 255.0), srgb_to_linear(rgb.b / 255.0)};
}

Rgb rgb_from_linear(LinearRgb linear) {
    return {linear_to_srgb(linear.r) * 255.0, linear_to_srgb(linear.g) * 255.0, linear_to_srgb(linear.b) * 255.0};
}

Xyz xyz_from_linear(LinearRgb v) {
    const Matrix& m = kRgbToXyz;
    return {m[0][0] * v.r + m[0][1] * v.g + m[0][2] * v.b, m[1][0] * v.r + m[1][1] * v.g + m[1][2] * v.b,
            m[2][0] * v.r + m[2][1] * v.g + m[2][2] * v.b};
}

LinearRgb linear_from_xyz(Xyz v) {
    const Matrix& m = kXyzToRgb;
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Lab lab_from_xyz(Xyz xyz) {
    const double fx = lab_f(xyz.x / kWhite.x);
    const double fy = lab_f(xyz.y / kWhite.y);
    const double fz = lab_f(xyz.z / kWhite.z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Xyz xyz_from_lab(Lab lab) {
    const double fy = (lab.l + 16.0) / 116.0;
    const double fx = fy + lab.a / 500.0;
    const double fz = fy - lab.b / 200.0;
    return {kWhite.x * lab_f_inverse(fx), kWhite.y * lab_f_inverse(fy), kWhite.z * lab_f_inverse(fz)};
}

Lab lab_from_rgb(Rgb rgb) { return lab_from_xyz(xyz_from_linear(linear_from_rgb(rgb))); }

Rgb rgb_from_lab(Lab lab) { return rgb_from_linear(linear_from_lab(lab)); }

LinearRgb linear_from_lab(Lab lab) { return linear_from_xyz(xyz_from_lab(lab)); }

double chroma(Lab lab) { return std::hypot(lab.a, lab.b); }

double delta_e2000(Lab first, Lab second) {
    constexpr double kPi = 3.14159265358979323846;
    constexpr double kDegree = kPi / 180.0;
    const auto pow7 = [](double v) { return v * v * v * v * v * v * v; };
    const double mean_c = (chroma(first) + chroma(second)) / 2.0;
    const double g = 0.5 * (1.0 - std::sqrt(pow7(mean_c) / (pow7(mean_c) + pow7(25.0))));
    const double a1 = (1.0 + g) * first.a;
    const double a2 = (1.0 + g) * second.a;
    const double c1 = std::hypot(a1, first.b);
    const double c2 = std::hypot(a2, second.b);
    const auto hue = [](double b, double a) {
        if (a == 0.0 && b == 0.0) return 0.0;
        const double h = std::atan2(b, a);
        return h < 0.0 ? h + 2.0 * kPi : h;
    };
    const double h1 = hue(first.b, a1);
    const double h2 = hue(second.b, a2);
    double dh = 0.0;
    double mean_h = h1 + h2;
    if (c1 * c2 != 0.0) {
        dh = h2 - h1;
        if (dh > kPi) dh -= 2.0 * kPi;
        if (dh < -kPi) dh += 2.0 * kPi;
        if (std::fabs(h1 - h2) <= kPi) {
            mean_h = (h1 + h2) / 2.0;
        } else {
            mean_h = h1 + h2 < 2.0 * kPi ? (h1 + h2 + 2.0 * kPi) / 2.0 : (h1 + h2 - 2.0 * kPi) / 2.0;
        }
    }
    const double dl = second.l - first.l;
    const double dc = c2 - c1;
    const double dhh = 2.0 * std::sqrt(c1 * c2) * std::sin(dh / 2.0);
    const double mean_l = (first.l + second.l) / 2.0;
    const double mean_cp = (c1 + c2) / 2.0;
    const double t = 1.0 - 0.17 * std::cos(mean_h - 30.0 * kDegree) + 0.24 * std::cos(2.0 * mean_h) +
                     0.32 * std::cos(3.0 * mean_h + 6.0 * kDegree) - 0.20 * std::cos(4.0 * mean_h - 63.0 * kDegree);
    const double l50 = (mean_l - 50.0) * (mean_l - 50.0);
    const double sl = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
    const double sc = 1.0 + 0.045 * mean_cp;
    const double sh = 1.0 + 0.015 * mean_cp * t;
    const double turn = 30.0 * kDegree * std::exp(-std::pow((mean_h / kDegree - 275.0) / 25.0, 2.0));
    const double rt = -2.0 * std::sqrt(pow7(mean_cp) / (pow7(mean_cp) + pow7(25.0))) * std::sin(2.0 * turn);
    const double tl = dl / sl;
    const double tc = dc / sc;
    const double th = dhh / sh;
    return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}

Lab lab_d65_from_d50(Lab d50) {
    // Bradford cone response, and the D50 white of the ICC profile connection space.
    constexpr Matrix kBradford{{{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
    constexpr Matrix kBradfordInverse = inverse(kBradford);
    constexpr Xyz kD50{0.96422, 1.0, 0.82521};
    const auto apply = [](const Matrix& m, Xyz v) {
        return Xyz{m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                   m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    };
    const double fy = (d50.l + 16.0) / 116.0;
    const Xyz xyz50{kD50.x * lab_f_inverse(fy + d50.a / 500.0), kD50.y * lab_f_inverse(fy),
                    kD50.z * lab_f_inverse(fy - d50.b / 200.0)};
    const Xyz cone = apply(kBradford, xyz50);
    const Xyz white50 = apply(kBradford, kD50);
    const Xyz white65 = apply(kBradford, kWhite);
    const Xyz adapted{cone.x * white65.x / white50.x, cone.y * white65.y / white50.y, cone.z * white65.z / white50.z};
    return lab_from_xyz(apply(kBradfordInverse, adapted));
}

}  // namespace lut_builder
