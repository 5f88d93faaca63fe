#include "ulmarender/engine/colour_tables.h"

#include <charconv>
#include <cstdlib>

namespace ulma {

double round_to_8_decimals(double value) {
    char text[400];  // the longest double in fixed notation with 8 decimals fits
    const auto end = std::to_chars(text, text + sizeof text - 1, value, std::chars_format::fixed, 8).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

}  // namespace ulma
