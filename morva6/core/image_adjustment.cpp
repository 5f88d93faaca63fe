// Hue, saturation, brightness and contrast in the HSL model, then a gamma
// curve on the output bytes. Every step is carried out in double precision
// in a fixed order, so the bytes are the same on every conforming platform.
//
// Speed comes from moving work out of the pixel loop without changing the
// result of any step: what depends on a few small integers alone is worked
// out beforehand with the same arithmetic the loop would have used. That is
// the hue quotient and the hue curves (once per process), the rotation of
// every whole angle, the adjusted lightness of every max + min and the gamma
// curve of every byte (once per call), and for large pictures the lightness
// pair q, p of every (max, min). A run of equal pixels is computed once.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include <morva6/morva6.h>

#include "common/rounded_maths.h"
#include "morva6/core/image_adjustment_hue.h"
#include "morva6/core/picture_size.h"

namespace morva6 {
namespace {

constexpr double kSaturationThreshold = 0.1;
// max + min of three bytes.
constexpr int kSumCount = 511;

// Selection without a jump: the pixel loop's conditions depend on the
// colours and are unpredictable on busy pictures.
double choose(bool first, double a, double b) {
    const double both[2] = {b, a};
    return both[first];
}

// A channel value 0..255 (as a double) from the lightness pair q, p, with
// slope = (q - p) * 6. Only the rising segment clamps.
double channel_value(double ramp, HueSegment segment, double slope, double q, double p) {
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
    // Rotated hue (as a position in the hue curves, hue + 359) of every
    // truncated angle 0..359 before rotation: first for angles that are
    // whole, then for angles that carry a fraction into the rotation.
    std::array<std::int16_t, 2 * 360> rotation;
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

void prepare(Settings& settings, std::int32_t hue, std::int32_t saturation, std::int32_t brightness,
             std::int32_t contrast, double gamma) {
    const double contrast_scale = static_cast<double>(contrast) / 50.0 + 1.0;
    const double contrast_shift = static_cast<double>(contrast) / 100.0;
    const double brightness_shift = static_cast<double>(brightness) / 100.0;
    settings.saturation_shift = static_cast<double>(saturation) / 100.0;
    for (int angle = 0; angle < 360; ++angle) {
        const std::int64_t sum = angle + static_cast<std::int64_t>(hue);
        // Truncating a negative sum with a fraction toward zero lands one
        // above its floor.
        const std::int64_t with_fraction = sum < 0 ? sum + 1 : sum;
        settings.rotation[angle] = static_cast<std::int16_t>(sum % 360 + kHueSpan);
        settings.rotation[360 + angle] = static_cast<std::int16_t>(with_fraction % 360 + kHueSpan);
    }

    for (int sum = 0; sum < kSumCount; ++sum) {
        const double sum_d = static_cast<double>(sum);
        const double lightness = sum_d * 0.5 / 255.0;
        settings.lightness[sum] = clamp_unit(lightness * contrast_scale - contrast_shift + brightness_shift);
        // Greys (max + min may be 0) never use it; 1 keeps the division harmless.
        settings.saturation_divisor[sum] = sum == 0 ? 1.0 : sum <= 255 ? sum_d : 2.0 - sum_d / 255.0;
    }
    for (int spread = 0; spread < 256; ++spread) {
        settings.spread_fraction[spread] = static_cast<double>(spread) / 255.0;
    }
    for (int c = 0; c < 256; ++c) {
        settings.gamma_curve[c] = gamma != 1.0
                                      ? truncate_to_byte(rounded::pow(static_cast<double>(c) / 255.0, gamma) * 255.0)
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

// Hue of a colour after rotation, as a position in the hue curves. The
// rotation keeps whole degrees -359..359 (the remainder keeps the sign of the
// dividend). `spread` is max - min, at least 1.
int rotated_hue(std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t spread, const Settings& settings,
                const std::array<std::int8_t, kHueQuotientCount>& quotients) {
    // Formula of the largest channel: 0 red, 1 green, 2 blue. Ties give the
    // same angle from either formula; red is taken first, then green.
    const bool red_largest = r >= g && r >= b;
    const int not_red = static_cast<int>(!red_largest);
    const int largest = not_red + (not_red & static_cast<int>(g < b));
    const std::int32_t differences[3] = {g - b, b - r, r - g};
    constexpr int kSectors[3] = {360, 120, 240};

    const int code = quotients[hue_quotient_index(spread, differences[largest])];
    // Truncated angle before the rotation: 300..420 for red, which is then
    // reduced to 0..359; 60..300 for green and blue, whose fraction (if q
    // has one) is kept into the rotation.
    int angle = (code >> 1) + kSectors[largest];
    angle -= angle >= 360 ? 360 : 0;
    const int with_fraction = not_red & ~code & 1;
    return settings.rotation[with_fraction * 360 + angle];
}

// The lightness pair of the HSL-to-RGB step; with the hue it fixes the
// output colour.
struct LightnessPair {
    double q, p;
};

// Saturation and lightness of a colour from its largest and smallest
// channel, adjusted, and turned into the pair q, p.
LightnessPair lightness_pair(std::int32_t max, std::int32_t min, const Settings& settings) {
    const std::int32_t sum = max + min;
    const bool grey = max == min;
    // Greys compute with a spread of 1 and then take saturation 0.
    const std::int32_t spread = grey ? 1 : max - min;

    const double numerator = choose(sum <= 255, static_cast<double>(spread), settings.spread_fraction[spread]);
    const double saturation = numerator / settings.saturation_divisor[sum];
    const double shifted = clamp_unit(saturation + settings.saturation_shift);
    const double final_saturation = choose(grey, 0.0, choose(saturation >= kSaturationThreshold, shifted, saturation));

    const double lightness = settings.lightness[sum];
    const double q = choose(lightness < 0.5, lightness * (1.0 + final_saturation),
                            lightness + final_saturation - lightness * final_saturation);
    return {q, 2.0 * lightness - q};
}

// Position of (max, min), min <= max, in a table of every such pair.
std::size_t extremes_index(std::int32_t max, std::int32_t min) {
    return static_cast<std::size_t>(max * (max + 1) / 2 + min);
}
constexpr std::size_t kExtremesCount = 256 * 257 / 2;

// From this many pixels on, the lightness pair of every (max, min) is worked
// out once beforehand (about 33 000 of them) instead of once per pixel.
constexpr std::size_t kPairTableFrom = 1u << 17;

// Three output bytes of one pixel, before gamma.
struct Adjusted {
    std::uint8_t red, green, blue;
};

template <typename PairOf>
Adjusted adjust_pixel(std::int32_t r, std::int32_t g, std::int32_t b, const Settings& settings,
                      const std::array<std::int8_t, kHueQuotientCount>& quotients,
                      const std::array<HueCurves, kHueCount>& curves, const PairOf& pair_of) {
    const std::int32_t max = larger(larger(r, g), b);
    const std::int32_t min = smaller(smaller(r, g), b);
    const int hue = max == min ? settings.rotation[0] : rotated_hue(r, g, b, max - min, settings, quotients);
    const auto [q, p] = pair_of(max, min);
    const double slope = (q - p) * 6.0;

    // q and p lie in 0..1 (up to rounding), so every channel value is within
    // 0..255 and a plain truncation toward zero serves.
    const HueCurves& curve = curves[hue];
    // Structured bindings are captured by copy: clang 14 cannot capture them by reference.
    auto channel = [&, q = q, p = p](int c) {
        return static_cast<std::uint8_t>(
            static_cast<std::int32_t>(channel_value(curve.ramp[c], curve.segment[c], slope, q, p)));
    };
    return {channel(0), channel(1), channel(2)};
}

template <typename PairOf>
void adjust_pixels(const std::uint8_t* input, bool input_is_bgr, std::uint8_t* output, bool output_is_bgr,
                   std::size_t pixel_count, const Settings& settings, const PairOf& pair_of) {
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
            const Adjusted adjusted = adjust_pixel(r, g, b, settings, quotients, curves, pair_of);
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

// Large pictures look the lightness pairs up in a table built with the very
// same function; without memory for it they compute each pair in place.
void adjust_picture(const std::uint8_t* input, bool input_is_bgr, std::uint8_t* output, bool output_is_bgr,
                    std::size_t pixel_count, const Settings& settings) {
    if (pixel_count >= kPairTableFrom) {
        try {
            std::vector<LightnessPair> pairs(kExtremesCount);
            for (std::int32_t max = 0; max < 256; ++max) {
                for (std::int32_t min = 0; min <= max; ++min) {
                    pairs[extremes_index(max, min)] = lightness_pair(max, min, settings);
                }
            }
            adjust_pixels(input, input_is_bgr, output, output_is_bgr, pixel_count, settings,
                          [&pairs](std::int32_t max, std::int32_t min) { return pairs[extremes_index(max, min)]; });
            return;
        } catch (const std::bad_alloc&) {}
    }
    adjust_pixels(input, input_is_bgr, output, output_is_bgr, pixel_count, settings,
                  [&settings](std::int32_t max, std::int32_t min) { return lightness_pair(max, min, settings); });
}

}  // namespace
}  // namespace morva6

extern "C" int32_t Ovex_image_adjustment(const uint8_t* input, int32_t input_is_bgr, uint8_t* output,
                                         int32_t output_is_bgr, int32_t width, int32_t height, int32_t hue,
                                         int32_t saturation, int32_t brightness, int32_t contrast, double gamma) {
    if (width < 1 || height < 1) return OVEX_OK;
    if ((input_is_bgr != 0 && input_is_bgr != 1) || (output_is_bgr != 0 && output_is_bgr != 1)) {
        return OVEX_ERR_CHANNEL_ORDER;
    }
    if (!morva6::picture_fits(width, height)) return OVEX_ERR_BAD_SIZE;

    morva6::Settings settings;
    morva6::prepare(settings, hue, saturation, brightness, contrast, gamma);
    morva6::adjust_picture(input, input_is_bgr == 1, output, output_is_bgr == 1,
                           morva6::picture_bytes(width, height, 1), settings);
    return OVEX_OK;
}
