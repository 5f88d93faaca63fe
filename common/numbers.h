// Numbers from the command line, read so that a value that overflows, is
// not a number (NaN) or is infinite never passes as something else.
#pragma once

#include <optional>
#include <string_view>

namespace common {

// A whole decimal number with an optional sign and nothing else, within
// [min, max]; nothing otherwise (also on overflow).
std::optional<long long> parse_whole(std::string_view text, long long min, long long max);

// A finite real number in strtod's notation, nothing around it, within
// [min, max]; nothing otherwise (NaN, infinity, overflow).
std::optional<double> parse_real(std::string_view text, double min, double max);

// atoi's reading (leading blanks, a sign, the digits up to the first other
// character; no digits give 0), except that a value outside int gives
// nothing instead of a wrapped number.
std::optional<int> parse_leading_int(const char* text);

// strtod's reading (the longest number at the start; none gives 0), except
// that NaN, infinity and an overflowing value give nothing.
std::optional<double> parse_leading_real(const char* text);

}  // namespace common
