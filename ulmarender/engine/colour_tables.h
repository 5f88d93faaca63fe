// Power tables of the colour conversions. Each entry is its rule's value
// rounded to 8 decimal places, the way printf("%.8f") rounds; the
// conversions index them with truncated values, so the quantisation they
// cause is part of the results.
#pragma once

#include <array>

// fast_val[i] = ((i / 255 + 0.055) / 1.055) ^ 2.4: sRGB channel to linear.
extern const std::array<double, 256> fast_val;
// fast_val_2[i] = (i / 255) ^ (1 / 2.4): linear to sRGB companding power.
extern const std::array<double, 256> fast_val_2;
// fast_val_3[i] = (i / 1023) ^ (1 / 3): cube roots for CIELAB.
extern const std::array<double, 1024> fast_val_3;

// `value` rounded to 8 decimals exactly as printf("%.8f") prints it.
double round_to_8_decimals(double value);
