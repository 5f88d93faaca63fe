#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/rounded_maths.h"
#include "common/threads.h"
#include "ulmarender/engine/colour_conversions.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/colour_lut.h"
#include "ulmarender/engine/hsl_hsv_processing.h"
#include "ulmarender/engine/random.h"

namespace ulma {

namespace {

// log(c / 255) of every channel value c, the value V of rgb2hsv: the power
// of the enhancement then needs only its exponential.
const std::array<rounded::Wide, 256>& channel_logs() {
    static const std::array<rounded::Wide, 256> logs = [] {
        std::array<rounded::Wide, 256> table{};
        for (int c = 1; c < 256; ++c) table[c] = rounded::log_wide(c / 255.0);
        return table;
    }();
    return logs;
}

double clamp_unit(double value) {
    if (value < 0) value = 0;
    if (value > 1) value = 1;
    return value;
}

// hsv_channels of a value known only to lie within [low, high]: true, with
// the channels, when every value there gives the same ones. Each channel is
// the value times a fixed factor, rounded and truncated: monotonic in the
// value, so the ends decide.
bool same_channels_within(int& r, int& g, int& b, const HsvFactors& factors, double low, double high) {
    int r_high, g_high, b_high;
    hsv_channels(r, g, b, factors, clamp_unit(low));
    hsv_channels(r_high, g_high, b_high, factors, clamp_unit(high));
    return r == r_high && g == g_high && b == b_high;
}

}  // namespace

void enhance_green(int& r, int& g, int& b) {
    double H, S, L;
    rgb2hsv(H, S, L, r, g, b);
    double temp_value = H * 360 + 60;
    if (temp_value < 0) temp_value += 360;
    if (temp_value > 360) temp_value -= 360;
    if (temp_value > 180) temp_value = 360 - temp_value;
    if (temp_value == 180) temp_value = 179.9;
    temp_value = 1 - temp_value / 180 * S * 0.75;
    if (S == 0) {
        r = g = b = truncate_to_int(clamp_unit(L) * 255);
        return;
    }
    const HsvFactors factors = hsv_factors(H, S);
    // L^1 is L itself, and 1^t is 1.
    if (S > 0 && temp_value != 1 && L != 1) {
        // The channels come from the exactly rounded power L^temp_value, but
        // they are truncated integers: exp(temp_value log L) of the C library
        // lies within a few units in the last place of it, so a bracket of
        // 2^-40 of its size holds it, and unless the bracket straddles a
        // channel step, its ends give the channels without the power itself
        // (of the 2^24 colours none straddles one on x86-64; the exact power
        // stays for any that might elsewhere).
        const int largest = std::max({r, g, b});  // L == largest / 255.0
        const bool in_table = largest > 0 && largest < 256;
        if (in_table) {
            const double estimate = std::exp(temp_value * channel_logs()[largest].hi);
            if (same_channels_within(r, g, b, factors, estimate * (1 - 0x1p-40), estimate * (1 + 0x1p-40))) return;
        }
        L = in_table ? rounded::pow_from_log(channel_logs()[largest], temp_value) : rounded::pow(L, temp_value);
    }
    hsv_channels(r, g, b, factors, clamp_unit(L));
}

namespace {

int clamp_channel(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

// LUT index of a colour after the green enhancement (when `enhance`).
int enhanced_lut_index(int r, int g, int b, bool enhance) {
    if (enhance) enhance_green(r, g, b);
    // The channels are within 0..255 here; the clamp only guards the index.
    return lut_index(clamp_channel(r), clamp_channel(g), clamp_channel(b));
}

// The enhanced LUT index depends on the colour alone, and neighbouring
// pixels often share a colour: a direct-mapped cache of recent colours
// spares the enhancement (a pow per pixel) for repeated ones.
class EnhancedIndexCache {
  public:
    explicit EnhancedIndexCache(bool enhance) : enhance_(enhance), slots_(kSlots, 0) {}

    int index(int r, int g, int b) {
        const auto colour = static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
        std::uint64_t& slot = slots_[(colour * 0x9E3779B1u) >> (32 - kSlotBits)];
        // A slot holds colour + 1 (0: empty) above the index.
        if ((slot >> 32) == colour + 1u) return static_cast<int>(slot & 0xFFFFFFFFu);
        const int found = enhanced_lut_index(r, g, b, enhance_);
        slot = (static_cast<std::uint64_t>(colour + 1u) << 32) | static_cast<std::uint32_t>(found);
        return found;
    }

  private:
    static constexpr int kSlotBits = 16;
    static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    bool enhance_;
    std::vector<std::uint64_t> slots_;
};

// Writes LUT entry `index` (red, green, blue) as blue, green, red.
void write_lut_colour(const unsigned char* rgb_table, int index, unsigned char* out) {
    const unsigned char* entry = rgb_table + static_cast<std::size_t>(index) * 3;
    out[0] = entry[2];
    out[1] = entry[1];
    out[2] = entry[0];
}

}  // namespace

int color_enhance(const Settings& settings, int img_x, int img_y, const unsigned char* img_buffer,
                  unsigned char* img_out_point, const char* file) {
    // Version 0301 has no adjustment and no noise.
    const bool adjustments = settings.stages.adjustments;
    const int random_range = adjustments ? settings.noise_range : -1;
    const double hue_offset = settings.hue_offset;
    const double contrast = settings.contrast;
    const bool enhance = settings.stages.green_enhance_always || settings.green_enhance > 0;
    const int mode = settings.mode;
    const bool preprocess = adjustments && settings.preprocess;
    const double sat_offset = preprocess ? settings.sat_offset : 0.0;
    const double light_offset = preprocess ? settings.light_offset : 0.0;

    const auto rgb_table = read_lut_file(file);
    if (!rgb_table) return 1;
    const std::size_t pixel_count =
        img_x > 0 && img_y > 0 ? static_cast<std::size_t>(img_x) * static_cast<std::size_t>(img_y) : 0;
    const unsigned char* source = img_buffer;

    // Pixels go to the threads in ranges; each thread keeps its own cache.
    constexpr std::size_t kGrain = 16384;
    std::vector<unsigned char> rgb_enhance;
    if (preprocess) {
        rgb_enhance.resize(pixel_count * 3);
        common::share_ranges(pixel_count, kGrain, settings.threads, [&] {
            return [&](std::size_t first, std::size_t end) {
                image_processing(img_buffer + first * 3, rgb_enhance.data() + first * 3, end - first, hue_offset,
                                 sat_offset, light_offset, contrast, mode);
            };
        });
        source = rgb_enhance.data();
    }
    if (random_range > 0) {
        // The noise is drawn pixel after pixel from one generator: one thread.
        SeededRandom random(settings.seed);
        EnhancedIndexCache cache(enhance);
        for (std::size_t n = 0; n < pixel_count; ++n) {
            const unsigned char* in = source + n * 3;
            int B_TEMP = in[0];
            int G_TEMP = in[1];
            int R_TEMP = in[2];
            // Drawn for every pixel, also for those that then get no noise.
            const int random_num = random.next() % random_range - random_range / 2;
            const bool white = R_TEMP == 255 && G_TEMP == 255 && B_TEMP == 255;
            const bool black = R_TEMP == 0 && G_TEMP == 0 && B_TEMP == 0;
            if (!white && !black) {
                R_TEMP = clamp_channel(R_TEMP + random_num);
                G_TEMP = clamp_channel(G_TEMP + random_num);
                B_TEMP = clamp_channel(B_TEMP + random_num);
            }
            write_lut_colour(rgb_table->data(), cache.index(R_TEMP, G_TEMP, B_TEMP), img_out_point + n * 3);
        }
        return 0;
    }
    common::share_ranges(pixel_count, kGrain, settings.threads, [&] {
        return [&, cache = EnhancedIndexCache(enhance)](std::size_t first, std::size_t end) mutable {
            // Local copies: the byte stores below could alias anything the
            // closure refers to, so these would be reloaded for each pixel.
            const unsigned char* const table = rgb_table->data();
            const unsigned char* const pixels = source;
            unsigned char* const out = img_out_point;
            for (std::size_t n = first; n < end; ++n) {
                const unsigned char* in = pixels + n * 3;
                write_lut_colour(table, cache.index(in[2], in[1], in[0]), out + n * 3);
            }
        };
    });
    return 0;
}

}  // namespace ulma
