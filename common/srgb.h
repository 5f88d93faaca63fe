// The sRGB transfer curve on 0..1 values: a linear segment below the
// thresholds, a power curve above them. The tools use the curve itself; the
// eight-colour renderer uses its constants with power tables of its own.
#pragma once

#include <cmath>

namespace common::srgb {

inline constexpr double kDecodeThreshold = 0.04045;    // encoded value
inline constexpr double kEncodeThreshold = 0.0031308;  // linear value
inline constexpr double kLinearSlope = 12.92;
inline constexpr double kOffset = 0.055;
inline constexpr double kScale = 1.055;  // 1 + kOffset
inline constexpr double kGamma = 2.4;

inline double to_linear(double encoded) {
    return encoded <= kDecodeThreshold ? encoded / kLinearSlope : std::pow((encoded + kOffset) / kScale, kGamma);
}

inline double to_encoded(double linear) {
    return linear <= kEncodeThreshold ? linear * kLinearSlope : kScale * std::pow(linear, 1.0 / kGamma) - kOffset;
}

}  // namespace common::srgb
