// Power tables of the colour conversions (powers rounded alike on every
// machine: rounded_maths.h). Each entry is its rule's value
// rounded to 8 decimal places, the way the C library's "%.8f" format rounds; the
// conversions index them with truncated values, so the quantisation they
// cause is part of the results.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>

#include "common/rounded_maths.h"
#include "common/srgb.h"

namespace ulma {

// `value` rounded to 8 decimals exactly as the "%.8f" format writes it (the
// exact decimal value, ties to even).
double round_to_8_decimals(double value);

// Table i = 0..N-1 of rule(i), each rounded to 8 decimals.
template <std::size_t N, typename Rule>
std::array<double, N> build_power_table(Rule rule) {
    std::array<double, N> table{};
    for (std::size_t i = 0; i < N; ++i) table[i] = round_to_8_decimals(rule(static_cast<double>(i)));
    return table;
}

// Built during static initialisation, once for the program; nothing reads
// them before main().
// fast_val[i] = ((i / 255 + 0.055) / 1.055) ^ 2.4: sRGB channel to linear.
inline const std::array<double, 256> fast_val = build_power_table<256>([](double i) {
    return rounded::pow((i / 255.0 + common::srgb::kOffset) / common::srgb::kScale, common::srgb::kGamma);
});
// fast_val_2[i] = (i / 255) ^ (1 / 2.4): linear to sRGB companding power.
inline const std::array<double, 256> fast_val_2 =
    build_power_table<256>([](double i) { return rounded::pow(i / 255.0, 1.0 / common::srgb::kGamma); });
// fast_val_3[i] = (i / 1023) ^ (1 / 3): cube roots for CIELAB.
inline const std::array<double, 1024> fast_val_3 =
    build_power_table<1024>([](double i) { return rounded::pow(i / 1023.0, 1.0 / 3.0); });

}  // namespace ulma
