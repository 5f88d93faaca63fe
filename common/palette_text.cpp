#include "common/palette_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "common/bounded_read.h"

namespace common {
namespace {

bool separates(char c) { return c == ' ' || c == ',' || c == '\n' || c == '\r' || c == '\t'; }

std::string located(const std::string& source, std::size_t line) {
    if (source.empty()) return {};
    return source + ":" + std::to_string(line) + ": ";
}

}  // namespace

std::optional<std::vector<LabColour>> parse_lab_colours(std::string_view text, std::size_t count,
                                                        const std::string& source, std::string& error) {
    std::vector<double> numbers;
    std::size_t line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        if (separates(text[at])) {
            if (text[at] == '\n') ++line;
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !separates(text[end])) ++end;
        const std::string_view word = text.substr(at, end - at);
        const std::string_view digits = word.front() == '+' ? word.substr(1) : word;
        double value = 0.0;
        const auto [stop, failed] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || (word.front() == '+' && digits.front() == '-') || failed != std::errc() ||
            stop != digits.data() + digits.size() || !std::isfinite(value)) {
            std::string shown(word.substr(0, 40));
            for (char& c : shown)
                if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
            error = located(source, line) + "'" + shown + "' is not a number";
            return std::nullopt;
        }
        if (numbers.size() == 3 * count) {  // one more than wanted is enough to refuse
            numbers.push_back(value);
            break;
        }
        numbers.push_back(value);
        at = end;
    }
    if (numbers.size() != 3 * count) {
        error = (source.empty() ? std::string() : source + ": ") + "wants " + std::to_string(count) +
                " CIELAB colours (" + std::to_string(3 * count) + " numbers), got " +
                (numbers.size() > 3 * count ? "more" : std::to_string(numbers.size())) + " numbers";
        return std::nullopt;
    }
    std::vector<LabColour> colours(count);
    for (std::size_t i = 0; i < count; ++i) colours[i] = {numbers[3 * i], numbers[3 * i + 1], numbers[3 * i + 2]};
    return colours;
}

std::optional<std::vector<LabColour>> read_lab_colours(const std::string& path, std::size_t count, std::string& error) {
    const auto bytes = read_bounded(path, kMaxPaletteFileBytes, error);
    if (!bytes) return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return parse_lab_colours(text, count, path, error);
}

}  // namespace common
