#include "common/numbers.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace common {

std::optional<long long> parse_whole(std::string_view text, long long min, long long max) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> parse_real(std::string_view text, double min, double max) {
    const std::string copy(text);
    if (copy.empty() || std::isspace(static_cast<unsigned char>(copy.front()))) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value) || !(value >= min && value <= max))
        return std::nullopt;
    return value;
}

std::optional<int> parse_leading_int(const char* text) {
    errno = 0;
    const long long value = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<double> parse_leading_real(const char* text) {
    const double value = std::strtod(text, nullptr);
    if (!std::isfinite(value)) return std::nullopt;  // NaN, infinity, or too large
    return value;
}

}  // namespace common
