#include "tools/lut_builder/palette_text.h"

#include "common/palette_text.h"

namespace lut_builder {
namespace {

// The shared reader's colours, each lightness within 0..100.
std::optional<std::vector<Lab>> checked(const std::optional<std::vector<common::LabColour>>& read,
                                        const std::string& source, std::string& error) {
    if (!read) return std::nullopt;
    std::vector<Lab> colours;
    for (const common::LabColour& c : *read) {
        if (!(c.l >= 0.0 && c.l <= 100.0)) {
            error = (source.empty() ? "" : source + ": ") + "lightness " + std::to_string(c.l) + " lies outside 0..100";
            return std::nullopt;
        }
        colours.push_back({c.l, c.a, c.b});
    }
    return colours;
}

}  // namespace

std::optional<std::vector<Lab>> parse_lab_colours(std::string_view text, std::size_t count, std::string& error) {
    return checked(common::parse_lab_colours(text, count, "", error), "", error);
}

std::optional<std::vector<Lab>> read_lab_colours(const std::string& path, std::size_t count, std::string& error) {
    return checked(common::read_lab_colours(path, count, error), path, error);
}

}  // namespace lut_builder
