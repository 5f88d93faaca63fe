#include "tools/lut_builder/palette_text.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <system_error>

namespace lut_builder {

std::optional<std::vector<Lab>> parse_lab_colours(std::string_view text, std::size_t count,
                                                  std::string& error) {
    std::vector<double> numbers;
    std::size_t at = 0;
    const auto separator = [](char c) { return c == ' ' || c == ',' || c == '\n' || c == '\r' || c == '\t'; };
    while (at < text.size()) {
        if (separator(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !separator(text[end])) ++end;
        double value = 0.0;
        const auto [stop, failed] = std::from_chars(text.data() + at, text.data() + end, value);
        if (failed != std::errc() || stop != text.data() + end || !std::isfinite(value)) {
            error.assign(text.substr(at, end - at)).append(" is not a number");
            return std::nullopt;
        }
        numbers.push_back(value);
        at = end;
    }
    if (numbers.size() != 3 * count) {
        error = "wants " + std::to_string(count) + " CIELAB colours (" + std::to_string(3 * count) +
                " numbers), got " + std::to_string(numbers.size()) + " numbers";
        return std::nullopt;
    }
    std::vector<Lab> colours;
    for (std::size_t i = 0; i < count; ++i) {
        const Lab c{numbers[3 * i], numbers[3 * i + 1], numbers[3 * i + 2]};
        if (!(c.l >= 0.0 && c.l <= 100.0)) {
            error = "lightness " + std::to_string(c.l) + " lies outside 0..100";
            return std::nullopt;
        }
        colours.push_back(c);
    }
    return colours;
}

std::optional<std::vector<Lab>> read_lab_colours(const std::string& path, std::size_t count,
                                                 std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto colours = parse_lab_colours(text, count, error);
    if (!colours) error = path + ": " + error;
    return colours;
}

}  // namespace lut_builder
