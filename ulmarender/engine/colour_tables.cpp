#include "ulmarender/engine/colour_tables.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "common/rounded_maths.h"

double round_to_8_decimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.8f", value);
  return std::strtod(text, nullptr);
}

namespace {

template <std::size_t N, typename Rule>
std::array<double, N> build_table(Rule rule) {
  std::array<double, N> table{};
  for (std::size_t i = 0; i < N; ++i) {
    table[i] = round_to_8_decimals(rule(static_cast<double>(i)));
  }
  return table;
}

}  // namespace

// Built during static initialisation; nothing reads them before main().
const std::array<double, 256> fast_val =
    build_table<256>([](double i) { return rounded::pow((i / 255.0 + 0.055) / 1.055, 2.4); });
const std::array<double, 256> fast_val_2 =
    build_table<256>([](double i) { return rounded::pow(i / 255.0, 1.0 / 2.4); });
const std::array<double, 1024> fast_val_3 =
    build_table<1024>([](double i) { return rounded::pow(i / 1023.0, 1.0 / 3.0); });
