// Hue, saturation, brightness and contrast in the HSL model, then a gamma
// curve on the output bytes. Every step is carried out in double precision
// in a fixed order, so the bytes are the same on every conforming platform.
//
// Speed comes from moving work out of the pixel loop without changing a
// single operation: everything that depends on a small integer alone (the
// lightness of max + min, the channel phases of a whole-degree hue, the gamma
// curve of a byte) is tabulated once per call with exactly the arithmetic the
// pixel loop would have done.

#include <algorithm>
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

// Which value a channel takes, by where its hue position t falls on the
// HSL-to-RGB curve.
enum Segment : std::uint8_t { kRising, kFalling, kTop, kBottom };

// Per whole-degree hue: for each channel (red, green, blue) the argument of
// the ramp formula on the rising or falling segment (t, or 2/3 - t) and the
// segment itself.
struct HueCurves {
    std::array<double, 3> ramp;
    std::array<Segment, 3> segment;
};

void set_channel(HueCurves& curves, int channel, double t) {
    if (t < 0.0) t += 1.0;
    if (t > 1.0) t -= 1.0;
    Segment segment = kBottom;
    double ramp = 0.0;
    if (t < kSixth) {
        segment = kRising;
        ramp = t;
    } else if (t < kHalf) {
        segment = kTop;
    } else if (t < kTwoThirds) {
        segment = kFalling;
        ramp = kTwoThirds - t;
    }
    curves.ramp[channel] = ramp;
    curves.segment[channel] = segment;
}

// The curves of every whole-degree hue; they depend on nothing else, so they
// are built once and only read afterwards.
const std::array<HueCurves, kHueCount>& hue_curves() {
    static const std::array<HueCurves, kHueCount> table = [] {
        std::array<HueCurves, kHueCount> curves{};
        for (int hue = -kHueSpan; hue <= kHueSpan; ++hue) {
            const double h = static_cast<double>(hue) / 360.0;
            HueCurves& entry = curves[hue + kHueSpan];
            set_channel(entry, 0, h + kChannelHueOffset);
            set_channel(entry, 1, h);
            set_channel(entry, 2, h - kChannelHueOffset);
        }
        return curves;
    }();
    return table;
}

// Selection without a jump: the pixel loop's conditions depend on the
// colours and are unpredictable on busy pictures.
double choose(bool first, double a, double b) {
    const double both[2] = {b, a};
    return both[first];
}

// A channel value 0..255 (as a double) from the lightness pair q, p, with
// slope = (q - p) * 6. Only the rising segment clamps.
double channel_value(double ramp, Segment segment, double slope, double q, double p) {
    const double x = slope * ramp + p;
    const double levels[4] = {std::min(std::max(x, 0.0), 1.0), x, q, p};
    return levels[segment] * 255.0;
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
    std::int64_t hue;
    // Hue of a grey after rotation.
    int grey_hue;
    double saturation_shift;
    // Adjusted lightness for every max + min.
    std::array<double, kSumCount> lightness;
    // Denominator of the saturation for every max + min: max + min itself up
    // to 255, 2 - (max + min) / 255 above.
    std::array<double, kSumCount> saturation_divisor;
    // max - min divided by 255, the numerator above 255.
    std::array<double, 256> spread_fraction;
    // The second pass folded into the first: gamma of every output byte.
    std::array<std::uint8_t, 256> gamma_curve;
};

void prepare(Settings& settings, std::int32_t hue, std::int32_t saturation,
             std::int32_t brightness, std::int32_t contrast, double gamma) {
    const double contrast_scale = static_cast<double>(contrast) / 50.0 + 1.0;
    const double contrast_shift = static_cast<double>(contrast) / 100.0;
    const double brightness_shift = static_cast<double>(brightness) / 100.0;
    settings.saturation_shift = static_cast<double>(saturation) / 100.0;
    settings.hue = hue;
    settings.grey_hue = static_cast<int>(settings.hue % 360);

    for (int sum = 0; sum < kSumCount; ++sum) {
        const double sum_d = static_cast<double>(sum);
        const double lightness = sum_d * 0.5 / 255.0;
        settings.lightness[sum] =
            clamp_unit(lightness * contrast_scale - contrast_shift + brightness_shift);
        // Greys (max + min may be 0) never use it; 1 keeps the division harmless.
        settings.saturation_divisor[sum] =
            sum == 0 ? 1.0 : sum <= 255 ? sum_d : 2.0 - sum_d / 255.0;
    }
    for (int spread = 0; spread < 256; ++spread) {
        settings.spread_fraction[spread] = static_cast<double>(spread) / 255.0;
    }
    for (int c = 0; c < 256; ++c) {
        settings.gamma_curve[c] =
            gamma != 1.0 ? truncate_to_byte(std::pow(static_cast<double>(c) / 255.0, gamma) * 255.0)
                         : static_cast<std::uint8_t>(c);
    }
}

// Larger and smaller of two channel values by arithmetic rather than by a
// jump (arithmetic right shift of a negative difference gives all ones).
std::int32_t larger(std::int32_t a, std::int32_t b) {
    const std::int32_t difference = a - b;
    return a - (difference & (difference >> 31));
}

std::int32_t smaller(std::int32_t a, std::int32_t b) {
    const std::int32_t difference = a - b;
    return b + (difference & (difference >> 31));
}

// Position of (spread, difference) in the quotient table: spread 1..255,
// difference -spread..spread, rows of 2 * spread + 1 entries.
constexpr int quotient_index(int spread, int difference) {
    return spread * spread + spread + difference;
}

// The hue formulas divide a channel difference by the spread max - min:
// q = difference * 60 / spread. As a fraction with a denominator of at most
// 255, q is either whole or at least 1/255 away from every whole number, and
// the later additions (a sector angle of 120, 240 or 360, then the hue
// shift, a 32-bit integer) round by less than 1e-6. So every truncation the
// formulas make follows from the floor of q and whether q is whole, which
// this table holds for every spread and difference, coded as
// floor * 2 + whole.
const std::array<std::int8_t, 65536>& hue_quotients() {
    static const std::array<std::int8_t, 65536> table = [] {
        std::array<std::int8_t, 65536> codes{};
        for (int spread = 1; spread < 256; ++spread) {
            for (int difference = -spread; difference <= spread; ++difference) {
                const double q =
                    static_cast<double>(difference) * 60.0 / static_cast<double>(spread);
                const double whole = std::floor(q);
                codes[quotient_index(spread, difference)] =
                    static_cast<std::int8_t>(static_cast<int>(whole) * 2 + (whole == q ? 1 : 0));
            }
        }
        return codes;
    }();
    return table;
}

// Hue of a colour after rotation, in whole degrees -359..359 (the remainder
// keeps the sign of the dividend). `spread` is max - min, at least 1.
int rotated_hue(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t spread,
                std::int64_t hue_shift, const std::array<std::int8_t, 65536>& quotients) {
    // Formula of the largest channel: 0 red, 1 green, 2 blue. Ties give the
    // same angle from either formula; red is taken first, then green.
    const bool red_largest = r >= g && r >= b;
    const int not_red = static_cast<int>(!red_largest);
    const int largest = not_red + (not_red & static_cast<int>(g < b));
    const std::int32_t differences[3] = {g - b, b - r, r - g};
    constexpr int kSectors[3] = {360, 120, 240};

    const int code = quotients[quotient_index(spread, differences[largest])];
    const bool whole = (code & 1) != 0;
    // Truncated angle before the rotation: 300..420 for red, which is then
    // reduced to 0..359; 60..300 for green and blue.
    int angle = (code >> 1) + kSectors[largest];
    angle -= angle >= 360 ? 360 : 0;
    // Green and blue angles keep their fraction into the rotation; truncating
    // a negative sum toward zero then lands one above its floor.
    std::int64_t rotated = angle + hue_shift;
    rotated += (not_red & static_cast<int>(!whole) & static_cast<int>(rotated < 0));
    return static_cast<int>(rotated % 360);
}

// Three output bytes of one pixel, before gamma.
struct Adjusted {
    std::uint8_t red, green, blue;
};

Adjusted adjust_pixel(std::int32_t r, std::int32_t g, std::int32_t b, const Settings& settings,
                      const std::array<std::int8_t, 65536>& quotients,
                      const std::array<HueCurves, kHueCount>& curves) {
    const std::int32_t max = larger(larger(r, g), b);
    const std::int32_t min = smaller(smaller(r, g), b);
    const std::int32_t sum = max + min;
    const bool grey = max == min;
    // Greys compute with a spread of 1 and then take hue and saturation 0.
    const std::int32_t spread = grey ? 1 : max - min;

    const int hue = grey ? settings.grey_hue : rotated_hue(r, g, b, spread, settings.hue, quotients);

    const double numerator =
        choose(sum <= 255, static_cast<double>(spread), settings.spread_fraction[spread]);
    const double saturation = numerator / settings.saturation_divisor[sum];
    const double shifted = clamp_unit(saturation + settings.saturation_shift);
    const double final_saturation =
        choose(grey, 0.0, choose(saturation >= kSaturationThreshold, shifted, saturation));

    const double lightness = settings.lightness[sum];
    const double q = choose(lightness < 0.5, lightness * (1.0 + final_saturation),
                            lightness + final_saturation - lightness * final_saturation);
    const double p = 2.0 * lightness - q;
    const double slope = (q - p) * 6.0;

    // q and p lie in 0..1 (up to rounding), so every channel value is within
    // 0..255 and a plain truncation toward zero serves.
    const HueCurves& curve = curves[hue + kHueSpan];
    auto channel = [&](int c) {
        return static_cast<std::uint8_t>(
            static_cast<std::int32_t>(channel_value(curve.ramp[c], curve.segment[c], slope, q, p)));
    };
    return {channel(0), channel(1), channel(2)};
}

void adjust_pixels(const std::uint8_t* input, bool input_is_bgr, std::uint8_t* output,
                   bool output_is_bgr, std::size_t pixel_count, const Settings& settings) {
    const auto& quotients = hue_quotients();
    const auto& curves = hue_curves();
    const int red_at_in = input_is_bgr ? 2 : 0;
    const int blue_at_in = input_is_bgr ? 0 : 2;
    const int red_at_out = output_is_bgr ? 2 : 0;
    const int blue_at_out = output_is_bgr ? 0 : 2;

    // Neighbouring pixels often repeat; the previous result is reused then.
    std::uint32_t previous_key = UINT32_MAX;
    std::array<std::uint8_t, 3> previous{};

    for (std::size_t i = 0; i < pixel_count; ++i, input += 3, output += 3) {
        const std::int32_t r = input[red_at_in];
        const std::int32_t g = input[1];
        const std::int32_t b = input[blue_at_in];
        const auto key = static_cast<std::uint32_t>(r << 16 | g << 8 | b);
        if (key != previous_key) {
            const Adjusted adjusted = adjust_pixel(r, g, b, settings, quotients, curves);
            previous_key = key;
            previous[red_at_out] = settings.gamma_curve[adjusted.red];
            previous[1] = settings.gamma_curve[adjusted.green];
            previous[blue_at_out] = settings.gamma_curve[adjusted.blue];
        }
        output[0] = previous[0];
        output[1] = previous[1];
        output[2] = previous[2];
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
