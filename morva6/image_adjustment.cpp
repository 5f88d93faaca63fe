// Hue, saturation, brightness and contrast in the HSL model, then a gamma
// curve on the output bytes. Every step is carried out in double precision
// in a fixed order, so the bytes are the same on every conforming platform.
//
// Speed comes from moving work out of the pixel loop without changing a
// single operation: everything that depends on a small integer alone (the
// lightness of max + min, the channel phases of a whole-degree hue, the gamma
// curve of a byte) is tabulated once per call with exactly the arithmetic the
// pixel loop would have done.

#include <array>
#include <cmath>
#include <cstdint>

#include <morva6/morva6.h>

#include "morva6/picture_size.h"

namespace {

constexpr double kSaturationThreshold = 0.1;
// The red and blue channels sit this far from the green one on the hue
// circle; the literal has six decimals on purpose (it is not 1/3).
constexpr double kChannelHueOffset = 0.333333;
constexpr double kSixth = 1.0 / 6.0;
constexpr double kHalf = 1.0 / 2.0;
constexpr double kTwoThirds = 2.0 / 3.0;

// Hues after rotation are whole degrees in -359..359.
constexpr int kHueSpan = 359;
constexpr int kHueCount = 2 * kHueSpan + 1;
// max + min of three bytes.
constexpr int kSumCount = 511;

// Where a channel's hue position t falls on the HSL-to-RGB curve.
enum class Segment : std::uint8_t { Rising, Top, Falling, Bottom };

struct ChannelPhase {
    double t;        // hue position after the single wrap into range
    double falling;  // 2/3 - t, used on the falling segment
    Segment segment;
};

struct HuePhases {
    ChannelPhase red, green, blue;
};

ChannelPhase phase_of(double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    ChannelPhase phase{t, kTwoThirds - t, Segment::Bottom};
    if (t < kSixth) {
        phase.segment = Segment::Rising;
    } else if (t < kHalf) {
        phase.segment = Segment::Top;
    } else if (t < kTwoThirds) {
        phase.segment = Segment::Falling;
    }
    return phase;
}

// Channel phases of every whole-degree hue; they depend on nothing else, so
// they are built once and only read afterwards.
const std::array<HuePhases, kHueCount>& hue_phases() {
    static const std::array<HuePhases, kHueCount> table = [] {
        std::array<HuePhases, kHueCount> phases{};
        for (int hue = -kHueSpan; hue <= kHueSpan; ++hue) {
            const double h = static_cast<double>(hue) / 360.0;
            phases[hue + kHueSpan] = {phase_of(h + kChannelHueOffset), phase_of(h),
                                      phase_of(h - kChannelHueOffset)};
        }
        return phases;
    }();
    return table;
}

// A channel value 0..255 (as a double) from the lightness pair q, p.
double channel_value(const ChannelPhase& phase, double q, double p) {
    switch (phase.segment) {
        case Segment::Rising: {
            const double x = (q - p) * 6.0 * phase.t + p;
            if (x < 0.0) return 0.0;
            if (x > 1.0) return 255.0;
            return x * 255.0;
        }
        case Segment::Top:
            return q * 255.0;
        case Segment::Falling:
            return ((q - p) * 6.0 * phase.falling + p) * 255.0;
        case Segment::Bottom:
            break;
    }
    return p * 255.0;
}

// Truncation toward zero to an integer stored as a byte (its low eight
// bits). Values no integer can hold (NaN, infinities, huge results of a
// negative gamma) give 0, as the usual truncating conversion does.
std::uint8_t truncate_to_byte(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(value));
}

double clamp_unit(double value) {
    if (value < 0.0) return 0.0;
    if (value > 1.0) return 1.0;
    return value;
}

struct Settings {
    double hue;
    double saturation_shift;
    // Adjusted lightness for every max + min.
    std::array<double, kSumCount> lightness;
    // Denominator of the saturation when max + min is above 255.
    std::array<double, kSumCount> upper_saturation_divisor;
    // The second pass folded into the first: gamma of every output byte.
    std::array<std::uint8_t, 256> gamma_curve;
};

void prepare(Settings& settings, std::int32_t hue, std::int32_t saturation,
             std::int32_t brightness, std::int32_t contrast, double gamma) {
    const double contrast_scale = static_cast<double>(contrast) / 50.0 + 1.0;
    const double contrast_shift = static_cast<double>(contrast) / 100.0;
    const double brightness_shift = static_cast<double>(brightness) / 100.0;
    settings.saturation_shift = static_cast<double>(saturation) / 100.0;
    settings.hue = static_cast<double>(hue);

    for (int sum = 0; sum < kSumCount; ++sum) {
        const double sum_d = static_cast<double>(sum);
        const double lightness = sum_d * 0.5 / 255.0;
        settings.lightness[sum] =
            clamp_unit(lightness * contrast_scale - contrast_shift + brightness_shift);
        settings.upper_saturation_divisor[sum] = 2.0 - sum_d / 255.0;
    }

    for (int c = 0; c < 256; ++c) {
        settings.gamma_curve[c] =
            gamma != 1.0 ? truncate_to_byte(std::pow(static_cast<double>(c) / 255.0, gamma) * 255.0)
                         : static_cast<std::uint8_t>(c);
    }
}

// Hue after rotation: the remainder keeps the sign of the dividend, so the
// result lies in -359..359.
int rotated_hue(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t max,
                std::int32_t spread, double hue_shift) {
    const double d = static_cast<double>(spread);
    double hue;
    if (r == max) {
        const double raw = static_cast<double>(g - b) * 60.0 / d + 360.0;
        hue = static_cast<double>(static_cast<std::int64_t>(raw) % 360);
    } else if (g == max) {
        hue = static_cast<double>(b - r) * 60.0 / d + 120.0;
    } else {
        hue = static_cast<double>(r - g) * 60.0 / d + 240.0;
    }
    // |hue| < 420 and the shift is a 32-bit integer: the sum always fits.
    return static_cast<int>(static_cast<std::int64_t>(hue + hue_shift) % 360);
}

void adjust_pixels(const std::uint8_t* input, bool input_is_bgr, std::uint8_t* output,
                   bool output_is_bgr, std::size_t pixel_count, const Settings& settings) {
    const auto& phases = hue_phases();
    const int red_at_in = input_is_bgr ? 2 : 0;
    const int blue_at_in = input_is_bgr ? 0 : 2;
    const int red_at_out = output_is_bgr ? 2 : 0;
    const int blue_at_out = output_is_bgr ? 0 : 2;

    for (std::size_t i = 0; i < pixel_count; ++i, input += 3, output += 3) {
        const std::int32_t r = input[red_at_in];
        const std::int32_t g = input[1];
        const std::int32_t b = input[blue_at_in];
        const std::int32_t max = r > g ? (r > b ? r : b) : (g > b ? g : b);
        const std::int32_t min = r < g ? (r < b ? r : b) : (g < b ? g : b);
        const std::int32_t sum = max + min;

        int hue;
        double saturation;
        if (max == min) {
            hue = static_cast<int>(static_cast<std::int64_t>(settings.hue) % 360);
            saturation = 0.0;
        } else {
            const std::int32_t spread = max - min;
            hue = rotated_hue(r, g, b, max, spread, settings.hue);
            const double d = static_cast<double>(spread);
            saturation = sum <= 255 ? d / static_cast<double>(sum)
                                    : d / 255.0 / settings.upper_saturation_divisor[sum];
            if (saturation >= kSaturationThreshold) {
                saturation = clamp_unit(saturation + settings.saturation_shift);
            }
        }

        const double lightness = settings.lightness[sum];
        const double q = lightness < 0.5 ? lightness * (1.0 + saturation)
                                         : lightness + saturation - lightness * saturation;
        const double p = 2.0 * lightness - q;
        const HuePhases& phase = phases[hue + kHueSpan];

        const std::uint8_t red = truncate_to_byte(channel_value(phase.red, q, p));
        const std::uint8_t green = truncate_to_byte(channel_value(phase.green, q, p));
        const std::uint8_t blue = truncate_to_byte(channel_value(phase.blue, q, p));
        output[red_at_out] = settings.gamma_curve[red];
        output[1] = settings.gamma_curve[green];
        output[blue_at_out] = settings.gamma_curve[blue];
    }
}

}  // namespace

extern "C" int32_t Ovex_image_adjustment(const uint8_t* input, int32_t input_is_bgr,
                                         uint8_t* output, int32_t output_is_bgr,
                                         int32_t width, int32_t height, int32_t hue,
                                         int32_t saturation, int32_t brightness,
                                         int32_t contrast, double gamma) {
    if (width < 1 || height < 1) return OVEX_OK;
    if ((input_is_bgr != 0 && input_is_bgr != 1) || (output_is_bgr != 0 && output_is_bgr != 1)) {
        return OVEX_ERR_CHANNEL_ORDER;
    }
    if (!morva6::picture_fits(width, height)) return OVEX_ERR_BAD_SIZE;

    Settings settings;
    prepare(settings, hue, saturation, brightness, contrast, gamma);
    adjust_pixels(input, input_is_bgr == 1, output, output_is_bgr == 1,
                  morva6::picture_bytes(width, height, 1), settings);
    return OVEX_OK;
}
