#include "ulmarender/engine/colour_tables.h"

#include <cstdio>
#include <cstdlib>

namespace ulma {

double round_to_8_decimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.8f", value);
  return std::strtod(text, nullptr);
}

}  // namespace ulma
