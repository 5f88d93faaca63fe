// Colour constants both colour engines use (the eight-colour renderer's
// conversions and the LUT builder's gamut mapping), with the digits they
// have always used, so that sharing them changes no output byte.
#pragma once

namespace common::colour {

// The sRGB transfer curve on 0..1 values: linear segment below the
// thresholds, power curve above them.
inline constexpr double kSrgbDecodeThreshold = 0.04045;   // encoded value
inline constexpr double kSrgbEncodeThreshold = 0.0031308; // linear value
inline constexpr double kSrgbLinearSlope = 12.92;
inline constexpr double kSrgbOffset = 0.055;
inline constexpr double kSrgbScale = 1.055;               // 1 + kSrgbOffset
inline constexpr double kSrgbGamma = 2.4;

}  // namespace common::colour
