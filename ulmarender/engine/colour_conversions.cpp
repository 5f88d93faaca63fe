#include "ulmarender/engine/colour_conversions.h"

namespace ulma {

void rgb2hsl(double& h, double& s, double& l, int r, int g, int b) {
    const auto [R, G, B, Min, Max, D] = channel_spread(r, g, b);
    l = (Max + Min) / 2;
    if (D == 0) {
        h = 0;
        s = 0;
        return;
    }
    s = l < 0.5 ? D / (Max + Min) : D / (2 - Max - Min);
    h = hue_of(R, G, B, Max, D);
}

double Hue_2_RGB(double v1, double v2, double vH) {
    if (vH < 0) vH += 1;
    if (vH > 1) vH -= 1;
    if (6 * vH < 1) return v1 + (v2 - v1) * 6 * vH;
    if (2 * vH < 1) return v2;
    if (3 * vH < 2) return v1 + (v2 - v1) * (2.0 / 3.0 - vH) * 6;
    return v1;
}

void hsl2rgb(int& r, int& g, int& b, double h, double s, double l) {
    if (s == 0) {
        r = g = b = truncate_to_int(l * 255);
        return;
    }
    const double v2 = l < 0.5 ? l * (1 + s) : (l + s) - s * l;
    const double v1 = 2 * l - v2;
    r = truncate_to_int(255 * Hue_2_RGB(v1, v2, h + 1.0 / 3.0));
    g = truncate_to_int(255 * Hue_2_RGB(v1, v2, h));
    b = truncate_to_int(255 * Hue_2_RGB(v1, v2, h - 1.0 / 3.0));
}

}  // namespace ulma
