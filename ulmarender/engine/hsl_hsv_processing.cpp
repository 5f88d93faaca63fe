#include "ulmarender/engine/hsl_hsv_processing.h"

#include "ulmarender/engine/colour_conversions.h"

namespace ulma {

namespace {

double clamp_to(double value, double low, double high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

// Byte written for a channel value: truncated toward zero, kept to 8 bits.
unsigned char channel_byte(double value) {
    return static_cast<unsigned char>(static_cast<unsigned>(truncate_to_int(value)) & 0xFFu);
}

// Hue in whole degrees 0..359 and the extreme channels of one pixel, shared
// by the HSL and HSV adjustments.
struct HueAndExtremes {
    int hue;
    double max;
    double min;
};

HueAndExtremes hue_and_extremes(double R, double G, double B, double hue_offset) {
    double max, min, hue;
    if (R >= G && R >= B) {
        max = R;
        min = G <= B ? G : B;
        hue = max == min ? 0 : truncate_to_int(60 * (G - B) / (max - min) + 360) % 360;
    } else if (G >= B && G >= R) {
        max = G;
        min = B <= R ? B : R;
        hue = 60 * (B - R) / (max - min) + 120;
    } else {
        max = B;
        min = G <= R ? G : R;
        hue = 60 * (R - G) / (max - min) + 240;
    }
    int whole = truncate_to_int(hue + hue_offset) % 360;
    // Only a negative hue offset can make it negative: keep it a hue.
    if (whole < 0) whole += 360;
    return {whole, max, min};
}

// The hue and extremes of one blue-green-red pixel.
HueAndExtremes pixel_hue(const unsigned char* bgr, double hue_offset) {
    return hue_and_extremes(bgr[2], bgr[1], bgr[0], hue_offset);
}

// A saturation of at least 0.1 moves by the offset (percent).
double offset_saturation(double saturation, double sat_offset) {
    if (saturation >= 0.1) saturation = clamp_to(sat_offset / 100 + saturation, 0, 1);
    return saturation;
}

double hsl_channel(double t, double p, double q) {
    if (t < 0) {
        t += 1;
    } else if (t > 1) {
        t -= 1;
    }
    if (t < 1.0 / 6.0) return 255 * clamp_to(p + (q - p) * 6 * t, 0, 1);
    if (t < 0.5) return 255 * q;
    if (t < 2.0 / 3.0) return 255 * (p + (q - p) * 6 * (2.0 / 3.0 - t));
    return 255 * p;
}

}  // namespace

void HSL_processing(const unsigned char* img_buffer, unsigned char* img_out_point, std::size_t pixel_count,
                    double hue_offset, double sat_offset, double light_offset, double contrast, int mode) {
    for (std::size_t n = 0; n < pixel_count; ++n) {
        const HueAndExtremes e = pixel_hue(img_buffer + n * 3, hue_offset);
        double S = 0;
        if (e.max != e.min) {
            S = e.max + e.min <= 255 ? (e.max - e.min) / (e.max + e.min)
                                     : ((e.max - e.min) / 255) / (2 - (e.max + e.min) / 255);
        }
        double L = (e.max + e.min) * 0.5 / 255;
        S = offset_saturation(S, sat_offset);
        if (mode == 1) {
            L = clamp_to((contrast / 50 + 1) * L - contrast / 100 + light_offset / 100, 0, 1);
        } else if (mode == 3) {
            L = clamp_to((contrast / 50 + 1) * (light_offset / 100 + L) - contrast / 100, 0, 1);
        }
        const double q = L >= 0.5 ? L + S - L * S : (S + 1) * L;
        const double p = 2 * L - q;
        const double hk = e.hue / 360.0;
        unsigned char* out = img_out_point + n * 3;
        out[0] = channel_byte(hsl_channel(hk - 0.333333, p, q));
        out[1] = channel_byte(hsl_channel(hk, p, q));
        out[2] = channel_byte(hsl_channel(hk + 0.333333, p, q));
    }
}

void HSV_processing(const unsigned char* img_buffer, unsigned char* img_out_point, std::size_t pixel_count,
                    double hue_offset, double sat_offset, double value_offset, double contrast, int mode) {
    for (std::size_t n = 0; n < pixel_count; ++n) {
        const HueAndExtremes e = pixel_hue(img_buffer + n * 3, hue_offset);
        double S = e.max == 0 ? 0 : 1 - e.min / e.max;
        double V = e.max;
        S = offset_saturation(S, sat_offset);
        if (mode == 2) {
            V = clamp_to((contrast / 50 + 1) * V - 255 * contrast / 100 + 255 * value_offset / 100, 0, 255);
        } else if (mode == 4) {
            V = clamp_to((contrast / 50 + 1) * (255 * value_offset / 100 + V) - 255 * contrast / 100, 0, 255);
        }
        const double hh = e.hue / 60.0;
        const int hi = static_cast<int>(hh);
        const double f = hh - hi;
        const double p = (1 - S) * V;
        const double q = (1 - f * S) * V;
        const double t = (1 - (1 - f) * S) * V;
        double r, g, b;
        switch (hi) {
            case 0:
                r = V, g = t, b = p;
                break;
            case 1:
                r = q, g = V, b = p;
                break;
            case 2:
                r = p, g = V, b = t;
                break;
            case 3:
                r = p, g = q, b = V;
                break;
            case 4:
                r = t, g = p, b = V;
                break;
            default:
                r = V, g = p, b = q;
                break;
        }
        unsigned char* out = img_out_point + n * 3;
        out[0] = channel_byte(b);
        out[1] = channel_byte(g);
        out[2] = channel_byte(r);
    }
}

void image_processing(const unsigned char* img_buffer, unsigned char* img_out_point, std::size_t pixel_count,
                      double hue_offset, double sat_offset, double light_offset, double contrast, int mode) {
    if (mode == 1 || mode == 3) {
        HSL_processing(img_buffer, img_out_point, pixel_count, hue_offset, sat_offset, light_offset, contrast, mode);
    } else if (mode == 2 || mode == 4) {
        HSV_processing(img_buffer, img_out_point, pixel_count, hue_offset, sat_offset, light_offset, contrast, mode);
    }
}

}  // namespace ulma
