#include "tools/lut_builder/builder_options.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace lut_builder {
namespace {

ParsedOptions failure(std::string message) { return {std::nullopt, std::move(message)}; }

bool parse_byte(std::string_view text, std::uint8_t& value) {
    unsigned parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || parsed > 255)
        return false;
    value = static_cast<std::uint8_t>(parsed);
    return true;
}

// "NAME=R,G,B" with decimal R, G, B in 0..255.
std::optional<std::string> parse_ink(std::string_view text, std::array<Rgb8, kInkCount>& inks) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return "--ink wants NAME=R,G,B, got '" + std::string(text) + "'";
    const std::string_view name = text.substr(0, equals);
    std::size_t index = 0;
    while (index < kInkCount && kInkNames[index] != name) ++index;
    if (index == kInkCount)
        return "unknown ink '" + std::string(name) +
               "' (inks are black, white, yellow, red, green, blue)";

    std::string_view rest = text.substr(equals + 1);
    std::array<std::uint8_t, 3> channels{};
    for (std::size_t c = 0; c < 3; ++c) {
        const std::size_t comma = c < 2 ? rest.find(',') : rest.size();
        if (comma == std::string_view::npos || !parse_byte(rest.substr(0, comma), channels[c]))
            return "ink " + std::string(name) + " wants three values 0..255 as R,G,B, got '" +
                   std::string(text.substr(equals + 1)) + "'";
        rest = c < 2 ? rest.substr(comma + 1) : std::string_view{};
    }
    inks[index] = {channels[0], channels[1], channels[2]};
    return std::nullopt;
}

std::optional<double> parse_fraction(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    if (!(value >= 0.0 && value <= 1.0)) return std::nullopt;
    return value;
}

}  // namespace

ParsedOptions parse_options(std::span<const std::string_view> args) {
    BuilderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> inline_value;
        if (name.starts_with("--")) {
            if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
                inline_value = name.substr(equals + 1);
                name = name.substr(0, equals);
            }
        }
        if (name == "-h" || name == "--help") {
            BuilderOptions help;
            help.help = true;
            return {help, {}};
        }
        const bool is_flag = name == "--identity";
        if (is_flag) {
            if (inline_value) return failure("option --identity takes no value");
            options.identity = true;
            continue;
        }
        const bool takes_value = name == "-o" || name == "--output" || name == "--ink" ||
                                 name == "--layout" || name == "--lightness" ||
                                 name == "--chroma" || name == "--knee";
        if (!takes_value) {
            if (name.starts_with("-")) return failure("unknown option '" + std::string(name) + "'");
            return failure("unexpected argument '" + std::string(name) + "'");
        }
        std::string_view value;
        if (inline_value) {
            value = *inline_value;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return failure("option " + std::string(name) + " needs a value");
        }

        if (name == "-o" || name == "--output") {
            if (value.empty()) return failure("the output path is empty");
            options.output = value;
        } else if (name == "--ink") {
            if (auto error = parse_ink(value, options.inks)) return failure(*error);
        } else if (name == "--layout") {
            if (value == "morva6") {
                options.layout = LutLayout::morva6;
            } else if (value == "ulma") {
                options.layout = LutLayout::ulma;
            } else {
                return failure("unknown layout '" + std::string(value) + "' (morva6 or ulma)");
            }
        } else if (name == "--lightness") {
            if (value == "linear") {
                options.mapping.lightness = LightnessMode::linear;
            } else if (value == "clip") {
                options.mapping.lightness = LightnessMode::clip;
            } else {
                return failure("unknown lightness mapping '" + std::string(value) +
                               "' (linear or clip)");
            }
        } else if (name == "--chroma") {
            if (value == "compress") {
                options.mapping.chroma = ChromaMode::compress;
            } else if (value == "clip") {
                options.mapping.chroma = ChromaMode::clip;
            } else {
                return failure("unknown chroma mapping '" + std::string(value) +
                               "' (compress or clip)");
            }
        } else {
            const std::optional<double> knee = parse_fraction(value);
            if (!knee) return failure("--knee wants a number from 0 to 1, got '" + std::string(value) + "'");
            options.mapping.knee = *knee;
        }
    }
    if (options.output.empty()) return failure("no output file given (-o PATH)");
    return {options, {}};
}

std::string usage_text() {
    return "Usage: morva6_lut_builder -o PATH [options]\n"
           "\n"
           "Writes a colour look-up table for a six-ink e-paper renderer. By default every\n"
           "input colour is gamut-mapped into the colours that the measured inks can mix:\n"
           "its CIELAB lightness is brought between the black and the white ink, then its\n"
           "chroma is reduced, hue kept, until it lies inside the convex hull of the inks.\n"
           "\n"
           "Options:\n"
           "  -o, --output PATH        file to write (required); replaced only when complete\n"
           "  --ink NAME=R,G,B         measured sRGB colour of an ink, 0..255 each; NAME is\n"
           "                           black, white, yellow, red, green or blue; repeatable\n"
           "                           defaults: black=28,24,38 white=188,190,180\n"
           "                           yellow=196,180,36 red=130,36,38 green=52,94,66\n"
           "                           blue=36,60,124\n"
           "  --layout morva6|ulma     morva6 (default): the six inks, then the table, every\n"
           "                           colour blue,green,red (786450 bytes)\n"
           "                           ulma: the table as red,green,blue and three unused\n"
           "                           bytes (786435 bytes, no inks)\n"
           "  --identity               write the identity table (no gamut mapping)\n"
           "  --lightness linear|clip  linear (default): scale lightness 0..100 onto the\n"
           "                           range from the black to the white ink; clip: limit it\n"
           "  --chroma compress|clip   compress (default): keep chroma up to the knee, then\n"
           "                           squeeze the rest onto the reachable range; clip: cut\n"
           "                           chroma at the largest reachable value\n"
           "  --knee K                 knee of compress, as a fraction 0..1 of the largest\n"
           "                           reachable chroma (default 0.8)\n"
           "  -h, --help               show this text\n"
           "\n"
           "Exit status: 0 written, 1 the file could not be written, 2 bad options or inks.\n";
}

}  // namespace lut_builder
