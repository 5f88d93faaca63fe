#include "tools/lut_builder/builder_options.h"

#include <charconv>
#include <cstdint>
#include <system_error>

#include "common/command_line.h"
#include "tools/lut_builder/palette_text.h"

namespace lut_builder {
namespace {

ParsedOptions failure(std::string message) { return {std::nullopt, std::move(message)}; }

bool parse_byte(std::string_view text, std::uint8_t& value) {
    unsigned parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || parsed > 255) return false;
    value = static_cast<std::uint8_t>(parsed);
    return true;
}

// The index of NAME in "NAME=...", or a reason.
std::optional<std::size_t> ink_index(std::string_view text, std::string& error) {
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    for (std::size_t i = 0; i < kInkCount; ++i)
        if (equals != std::string_view::npos && kInkNames[i] == name) return i;
    error = equals == std::string_view::npos
                ? "an ink wants NAME=VALUES, got '" + std::string(text) + "'"
                : "unknown ink '" + std::string(name) + "' (inks are black, white, yellow, red, green, blue)";
    return std::nullopt;
}

// "NAME=R,G,B" with decimal R, G, B in 0..255.
std::optional<std::string> parse_ink(std::string_view text, BuilderOptions& options) {
    std::string error;
    const std::optional<std::size_t> index = ink_index(text, error);
    if (!index) return error;
    std::string_view rest = text.substr(text.find('=') + 1);
    std::array<std::uint8_t, 3> channels{};
    for (std::size_t c = 0; c < 3; ++c) {
        const std::size_t comma = c < 2 ? rest.find(',') : rest.size();
        if (comma == std::string_view::npos || !parse_byte(rest.substr(0, comma), channels[c]))
            return "ink " + std::string(kInkNames[*index]) + " wants three values 0..255 as R,G,B, got '" +
                   std::string(text.substr(text.find('=') + 1)) + "'";
        rest = c < 2 ? rest.substr(comma + 1) : std::string_view{};
    }
    options.inks[*index] = {channels[0], channels[1], channels[2]};
    options.ink_colours[*index] = lab_from_rgb(to_rgb(options.inks[*index]));
    return std::nullopt;
}

// "NAME=L,a,b", optionally followed by "@D50" (the default) or "@D65".
std::optional<std::string> parse_ink_lab(std::string_view text, BuilderOptions& options) {
    std::string error;
    const std::optional<std::size_t> index = ink_index(text, error);
    if (!index) return error;
    std::string_view values = text.substr(text.find('=') + 1);
    bool d50 = true;
    if (const std::size_t at = values.find('@'); at != std::string_view::npos) {
        const std::string_view white = values.substr(at + 1);
        if (white != "D50" && white != "D65")
            return "--ink-lab white must be @D50 or @D65, got '@" + std::string(white) + "'";
        d50 = white == "D50";
        values = values.substr(0, at);
    }
    const auto colour = parse_lab_colours(values, 1, error);
    if (!colour) return "ink " + std::string(kInkNames[*index]) + ": " + error;
    const Lab lab = d50 ? lab_d65_from_d50(colour->front()) : colour->front();
    options.ink_colours[*index] = lab;
    options.inks[*index] = to_bytes(rgb_from_lab(lab));
    return std::nullopt;
}

}  // namespace

ParsedOptions parse_options(std::span<const std::string_view> args) {
    BuilderOptions options;
    for (std::size_t i = 0; i < kInkCount; ++i) options.ink_colours[i] = lab_from_rgb(to_rgb(options.inks[i]));
    static constexpr common::OptionSpec kSpecs[] = {
        {'h', "help", false},          {'\0', "version", false}, {'\0', "identity", false},
        {'\0', "no-flat-inks", false}, {'o', "output", true},    {'\0', "ink", true},
        {'\0', "ink-lab", true},       {'\0', "layout", true},   {'\0', "palette", true},
        {'\0', "palette-lab", true},   {'\0', "method", true},   {'\0', "tone", true},
        {'\0', "fixed-lift", false},   {'\0', "aim-mix", false}, {'\0', "no-aim-mix", false}};
    std::vector<common::CommandWord> words;
    if (std::string error; !common::split_command_line(args, kSpecs, words, error)) return failure(error);
    for (const common::CommandWord& word : words) {
        if (word.spec == nullptr) return failure("unexpected argument '" + word.spelling + "'");
        const std::string name = "--" + std::string(word.spec->long_name);
        if (name == "--help" || name == "--version") {
            BuilderOptions help;
            (name == "--help" ? help.help : help.version) = true;
            return {help, {}};
        }
        if (name == "--aim-mix" || name == "--no-aim-mix") {
            options.choices.aim_mix = name == "--aim-mix" ? TableChoices::AimMix::on : TableChoices::AimMix::off;
            continue;
        }
        if (name == "--identity" || name == "--no-flat-inks" || name == "--fixed-lift") {
            (name == "--identity"     ? options.identity
             : name == "--fixed-lift" ? options.choices.measured_renderer
                                      : options.choices.flat_inks) = name == "--identity";
            continue;
        }
        const std::string_view value = word.value;
        std::string error;
        if (name == "--output") {
            if (value.empty()) return failure("the output path is empty");
            options.output = value;
        } else if (name == "--tone") {
            if (value != "clip" && value != "map")
                return failure("--tone is clip or map, got '" + std::string(value) + "'");
            options.choices.tone_map = value == "map";
        } else if (name == "--method") {
            std::uint8_t method = 0;
            if (!parse_byte(value, method) || method < 1 || method > 6)
                return failure("--method wants the renderer's dither number 1..6, got '" + std::string(value) + "'");
            options.choices.method = method;
        } else if (name == "--ink") {
            if (auto problem = parse_ink(value, options)) return failure(*problem);
        } else if (name == "--ink-lab") {
            if (auto problem = parse_ink_lab(value, options)) return failure(*problem);
        } else if (name == "--layout") {
            if (value != "morva6" && value != "ulma")
                return failure("unknown layout '" + std::string(value) + "' (morva6 or ulma)");
            options.layout = value == "ulma" ? LutLayout::ulma : LutLayout::morva6;
        } else {
            auto palette = name == "--palette" ? read_lab_colours(std::string(value), kPaletteColours, error)
                                               : parse_lab_colours(value, kPaletteColours, error);
            if (!palette) return failure(std::string(name) + ": " + error);
            options.palette = std::move(*palette);
            options.palette_file = name == "--palette" ? std::string(value) : std::string();
        }
    }
    if (options.output.empty()) return failure("no output file given (-o PATH)");
    if (options.layout == LutLayout::ulma && !options.identity && options.palette.empty())
        return failure(
            "--layout ulma builds for the panel's eight colours: give --palette FILE or --palette-lab VALUES");
    if (options.layout == LutLayout::ulma && options.choices.method != 0)
        return failure("--method belongs to --layout morva6: the eight-colour renderer has one diffusion");
    if (options.layout == LutLayout::morva6 && !options.palette.empty())
        return failure("--palette and --palette-lab belong to --layout ulma; six-ink inks are --ink or --ink-lab");
    return {options, {}};
}

std::string usage_text() {
    return "Usage: morva6_lut_builder -o PATH [options]\n"
           "\n"
           "Writes a colour look-up table for an e-paper renderer. By default every input\n"
           "colour is aimed at the colour the panel should show: itself when the measured\n"
           "inks can mix it, otherwise the closest colour they can mix (CIEDE2000). The\n"
           "table entry is the renderer's own average (sRGB for the six-ink renderer,\n"
           "CIELAB for the eight-colour one) of the ink proportions whose mix in linear\n"
           "light, as the panel's dots mix to the eye, is that colour.\n"
           "\n"
           "Options:\n"
           "  -o, --output PATH        file to write (required); replaced only when complete\n"
           "  --ink NAME=R,G,B         measured sRGB colour of an ink, 0..255 each; NAME is\n"
           "                           black, white, yellow, red, green or blue; repeatable\n"
           "                           defaults: black=28,24,38 white=188,190,180\n"
           "                           yellow=196,180,36 red=130,36,38 green=52,94,66\n"
           "                           blue=36,60,124\n"
           "  --ink-lab NAME=L,a,b[@D50|@D65]\n"
           "                           measured CIELAB colour of an ink, against the D50\n"
           "                           white (default, as colorimeters report) or D65\n"
           "  --layout morva6|ulma     morva6 (default): the six inks, then the table, every\n"
           "                           colour blue,green,red (786450 bytes)\n"
           "                           ulma: the eight-colour renderer's band LUT, red,green,\n"
           "                           blue and three unused bytes (786435 bytes), built for\n"
           "                           the palette below\n"
           "  --palette FILE           ulma: the band's palette data file (eight CIELAB D65\n"
           "                           colours, \"L a b\" each)\n"
           "  --palette-lab VALUES     ulma: the same as \"L,a,b L,a,b ...\" (eight colours)\n"
           "  --method N               six inks: make up for the rounding of the renderer's\n"
           "                           dither method N (1..6, as Morva6_render -d), measured\n"
           "                           by running it; without, entries are lifted by 3 units,\n"
           "                           a compromise between the methods\n"
           "  --tone clip|map          clip (default): colours darker than the black ink or\n"
           "                           lighter than the white go to the closest colour the\n"
           "                           inks mix; map: the picture's lightness range is first\n"
           "                           mapped linearly onto the inks' (shadow steps kept)\n"
           "  --fixed-lift             ulma: lift every entry by 1.5 L* instead of making up\n"
           "                           for what the renderer's diffusion lays down (measured\n"
           "                           by running it on flat patches)\n"
           "  --aim-mix                ulma: measure the whole sRGB cube, as the eye mixes the\n"
           "                           dots, and give each entry the bytes whose patch shows\n"
           "                           its colour (the default for a palette with a colour\n"
           "                           beyond the sRGB cube)\n"
           "  --no-aim-mix             ulma: aim at the renderer's CIELAB average, measured on\n"
           "                           the palette's reach (the default for other palettes)\n"
           "  --no-flat-inks           mix every colour, also those within a few CIEDE2000\n"
           "                           units of an ink, pure black and pure white (by\n"
           "                           default these are printed in that ink alone)\n"
           "  --identity               write the identity table (no mapping, no palette)\n"
           "  -h, --help               show this text\n"
           "  --version                show the version\n"
           "\n"
           "Exit status: 0 written, 1 the file could not be written, 2 bad options or inks.\n";
}

}  // namespace lut_builder
