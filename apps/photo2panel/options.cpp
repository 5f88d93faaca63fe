#include "apps/photo2panel/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "common/command_line.h"

namespace photo2panel {
namespace {

// Largest panel side accepted by --size; width x height x 4 must also fit int32.
constexpr int kMaxSide = 16384;

struct NamedSize {
    std::string_view name;
    int width;
    int height;
};
constexpr NamedSize kNamedSizes[] = {
    {"4in", 640, 400},
    {"5.65in", 600, 448},
    {"7.3in", 800, 480},
    {"13.3in", 1600, 1200},
};

bool whole_number(std::string_view text, long min, long max, int& value) {
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < min || number > max) return false;
    value = static_cast<int>(number);
    return true;
}

bool real_number(std::string_view text, double min, double max, double& value) {
    const std::string copy(text);
    char* end = nullptr;
    const double number = std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end != '\0' || !std::isfinite(number) || number < min || number > max) return false;
    value = number;
    return true;
}

bool parse_size(std::string_view text, Options& options) {
    for (const NamedSize& named : kNamedSizes) {
        if (text == named.name) {
            options.width = named.width;
            options.height = named.height;
            return true;
        }
    }
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    int width = 0;
    int height = 0;
    if (!whole_number(text.substr(0, x), 1, kMaxSide, width) || !whole_number(text.substr(x + 1), 1, kMaxSide, height))
        return false;
    if (static_cast<long long>(width) * height * 4 > INT32_MAX) return false;
    options.width = width;
    options.height = height;
    return true;
}

// "white", "black", "R,G,B" or "#rrggbb".
bool parse_colour(std::string_view text, std::array<std::uint8_t, 3>& colour) {
    if (text == "white")
        colour = {255, 255, 255};
    else if (text == "black")
        colour = {0, 0, 0};
    else if (text.size() == 7 && text[0] == '#') {
        for (int c = 0; c < 3; ++c) {
            unsigned value = 0;
            const char* from = text.data() + 1 + 2 * c;
            const auto [end, error] = std::from_chars(from, from + 2, value, 16);
            if (error != std::errc() || end != from + 2) return false;
            colour[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(value);
        }
    } else {
        std::size_t start = 0;
        for (int c = 0; c < 3; ++c) {
            const std::size_t comma = c < 2 ? text.find(',', start) : text.size();
            if (comma == std::string_view::npos) return false;
            int value = 0;
            if (!whole_number(text.substr(start, comma - start), 0, 255, value)) return false;
            colour[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(value);
            start = comma + 1;
        }
    }
    return true;
}

template <typename Enum, std::size_t N>
bool parse_choice(std::string_view text, const std::pair<std::string_view, Enum> (&choices)[N], Enum& value) {
    for (const auto& [name, choice] : choices) {
        if (text == name) {
            value = choice;
            return true;
        }
    }
    return false;
}

constexpr std::pair<std::string_view, PanelFormat> kFormats[] = {{"bmp", PanelFormat::bmp},
                                                                 {"pgm", PanelFormat::pgm},
                                                                 {"packed4", PanelFormat::packed4},
                                                                 {"packed-indices", PanelFormat::packed_indices},
                                                                 {"c-array", PanelFormat::c_array}};

// "0,1,2,3,5,6": one code 0..255 for every index.
bool parse_index_map(std::string_view text, std::vector<std::uint8_t>& map) {
    map.clear();
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        int code = 0;
        if (!whole_number(text.substr(start, comma - start), 0, 255, code)) return false;
        map.push_back(static_cast<std::uint8_t>(code));
        start = comma + 1;
    }
    return map.size() <= 256;
}

constexpr std::pair<std::string_view, Fit> kFits[] = {
    {"cover", Fit::cover}, {"contain", Fit::contain}, {"fill", Fit::fill}};
constexpr std::pair<std::string_view, Crop> kCrops[] = {
    {"centre", Crop::centre}, {"attention", Crop::attention}, {"entropy", Crop::entropy}};
constexpr std::pair<std::string_view, Rotate> kRotations[] = {{"auto", Rotate::automatic},
                                                              {"0", Rotate::none},
                                                              {"90", Rotate::quarter},
                                                              {"180", Rotate::half},
                                                              {"270", Rotate::three_quarters}};

// One option that takes a value: its spellings, whether it belongs to one
// renderer (6 or 8, 0 for both), and how the value is stored.
struct ValueOption {
    std::string_view short_name;
    std::string_view long_name;
    int renderer;
    std::function<bool(std::string_view, Options&)> store;
};

std::vector<ValueOption> value_options() {
    auto text = [](std::string Options::*field) {
        return [field](std::string_view v, Options& o) {
            o.*field = std::string(v);
            return !v.empty();
        };
    };
    auto whole = [](int Options::*field, long min, long max) {
        return [=](std::string_view v, Options& o) { return whole_number(v, min, max, o.*field); };
    };
    auto real = [](double Options::*field, double min, double max) {
        return [=](std::string_view v, Options& o) { return real_number(v, min, max, o.*field); };
    };
    return {
        {"-o", "--output", 0, text(&Options::output)},
        {"", "--preview", 0, text(&Options::preview)},
        {"", "--save-fitted", 0, text(&Options::save_fitted)},
        {"", "--size", 0, parse_size},
        {"", "--fit", 0, [](std::string_view v, Options& o) { return parse_choice(v, kFits, o.fit); }},
        {"", "--crop", 0, [](std::string_view v, Options& o) { return parse_choice(v, kCrops, o.crop); }},
        {"", "--rotate", 0, [](std::string_view v, Options& o) { return parse_choice(v, kRotations, o.rotate); }},
        {"", "--background", 0, [](std::string_view v, Options& o) { return parse_colour(v, o.background); }},
        {"", "--format", 0, [](std::string_view v, Options& o) { return parse_choice(v, kFormats, o.format); }},
        {"", "--index-map", 0, [](std::string_view v, Options& o) { return parse_index_map(v, o.index_map); }},
        {"", "--max-megapixels", 0, real(&Options::max_megapixels, 0.000001, 100000.0)},
        {"-j", "--jobs", 0, whole(&Options::jobs, 1, 1024)},
        {"-l", "--lut", 6, text(&Options::lut)},
        {"-d", "--dither", 6, whole(&Options::dither, 1, 6)},
        {"-m", "--mode", 6, whole(&Options::mode, 1, 3)},
        {"-t", "--tft", 6, whole(&Options::tft, 0, 5)},
        {"", "--hue", 6, whole(&Options::hue, 0, 360)},
        {"", "--saturation", 6, whole(&Options::saturation, -100, 100)},
        {"", "--brightness", 6, whole(&Options::brightness, -100, 100)},
        {"", "--contrast", 6, whole(&Options::contrast, -100, 100)},
        {"", "--gamma", 6, real(&Options::gamma, 0.0, 2.0)},
        {"-r", "--render-data", 8, text(&Options::render_data)},
        {"-T", "--temperature", 8, whole(&Options::temperature, -128, 127)},
        {"-c", "--chroma", 8, real(&Options::chroma, -100.0, 100.0)},
        {"-b", "--lightness", 8, real(&Options::lightness, -100.0, 100.0)},
        {"-n", "--noise", 8, whole(&Options::noise, -1, 255)},
    };
}

}  // namespace

const char* usage_text() {
    return R"(usage: photo2panel [options] PICTURE... -o OUTPUT

Renders photographs (JPEG, PNG, WebP, TIFF, HEIF/AVIF, GIF, BMP, PPM) for a
six-ink or an eight-colour e-paper panel: the picture is turned upright,
brought to sRGB, fitted to the panel and rendered exactly as Morva6_render
or ulmarender would render it.

A name ending in "/" or an existing folder, given to -o, --preview or
--save-fitted, takes one file per picture named after it (beach.jpg ->
beach.bmp); with several pictures a name without an extension is such a
folder too. Missing folders are made. The extension of a file says what it
holds: .bmp, .pgm, .h or .bin (with --format) for the panel file, .png
for the preview, .bmp or .ppm for the fitted picture.

General:
  -o, --output PATH        panel file: 24-bit BMP (six inks) or PGM of panel
                           codes (eight colours), or as --format says; - for
                           standard output. A PICTURE of - is read from
                           standard input
  --preview PATH.png       PNG of what the panel will show
  --save-fitted PATH       the fitted picture, .bmp or .ppm, for the renderers
  --format FORMAT          bmp (six inks) or pgm (eight colours), the default;
                           or the panel's codes packed: packed4 (two pixels a
                           byte, first in the high nibble, rows padded),
                           packed-indices (a byte a pixel), c-array (the
                           packed4 bytes as a C header)
  --index-map CODES        packed formats: the code of each palette index,
                           e.g. 0,1,2,3,5,6 (six inks: black, white, yellow,
                           red, green, blue; eight colours: the panel codes)
  --size WxH|NAME          panel size (default 800x480); names: 4in (640x400),
                           5.65in (600x448), 7.3in (800x480), 13.3in (1600x1200)
  --fit cover|contain|fill fill the panel and crop the rest (default), the
                           whole picture on the background, or stretch
  --crop centre|attention|entropy
                           what cover keeps: the middle, the part that draws
                           the eye (default: faces, skin, strong colour,
                           detail), or the busiest part
  --rotate auto|0|90|180|270
                           quarter turns clockwise; auto (default) turns a
                           portrait picture for a landscape panel and back
  --background COLOUR      white (default), black, R,G,B or #rrggbb: behind
                           transparent pixels and around --fit contain
  --max-megapixels N       refuse larger pictures before decoding (default 100)
  -j, --jobs N             pictures rendered at once (default: one per
                           core of the thread budget, see MORVA6_THREADS);
                           they share the budget with the threads of each
                           render; the files are the same for any N
  --accept-damaged         render a truncated or damaged picture anyway (with
                           a warning) instead of refusing it
  -q, --quiet              no progress lines and no decoder warnings or warnings
  --help, --version        this text, or the version
  --                       the end of the options: every later word is a
                           picture, also one whose name starts with "-"

Six inks (default), as Morva6_render takes them:
  -l, --lut PATH           LUT file (default: Morva6_Render_LUT_Default_v2_KERNEL.bin,
                           the table made for the --dither kernel, else
                           Morva6_Render_LUT_Default_v2.bin, of the
                           installation or the build tree)
  -d, --dither 1..6        1 Floyd, 2 Floyd serpentine, 3 Jarvis-Judice-Ninke,
                           4 its serpentine, 5 Stucki, 6 Stucki serpentine (default)
  -m, --mode 1..3          1 timing-controller codes (default), 2 ideal inks,
                           3 simulation in the measured inks
  -t, --tft 0..5           TFT format transfer (default 0, none)
  --hue 0..360, --saturation, --brightness, --contrast -100..100,
  --gamma 0.0..2.0         image adjustment (default none)

Eight colours, as ulmarender takes them:
  -8, --eight-colours      render for the eight-colour panel
  -r, --render-data DIR    render-data directory (implies -8; default: the
                           sample ULMA_SAMPLE01_TC_03 of the installation)
  -T, --temperature T      panel temperature in degrees (default 25)
  -c, --chroma N           saturation offset in percent, -100..100
  -b, --lightness N        lightness offset in percent, -100..100
  -n, --noise N            width of the random noise per pixel (default none)

Exit status: 0 every picture written, 1 some picture failed (the others are
still written), 2 bad command line.
)";
}

Parsed parse_options(int argc, const char* const* argv, Options& options, std::string& message) {
    const std::vector<ValueOption> table = value_options();
    // The options without a value, then one for each entry of the table.
    constexpr common::OptionSpec kFlags[] = {{'\0', "help", false},
                                             {'\0', "version", false},
                                             {'q', "quiet", false},
                                             {'8', "eight-colours", false},
                                             {'\0', "accept-damaged", false}};
    std::vector<common::OptionSpec> specs(std::begin(kFlags), std::end(kFlags));
    for (const ValueOption& option : table)
        specs.push_back({option.short_name.empty() ? '\0' : option.short_name[1], option.long_name.substr(2), true});
    const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
    std::vector<common::CommandWord> words;
    if (!common::split_command_line(args, specs, words, message)) return Parsed::error;
    // Options of one renderer that were given: (renderer, spelling).
    std::vector<std::pair<int, std::string>> renderer_options;
    for (const common::CommandWord& word : words) {
        if (word.spec == nullptr) {
            options.pictures.push_back(word.spelling);
            continue;
        }
        const std::string_view name = word.spec->long_name;
        if (name == "help") return Parsed::help;
        if (name == "version") return Parsed::version;
        if (name == "quiet") options.quiet = true;
        if (name == "eight-colours") options.eight_colours = true;
        if (name == "accept-damaged") options.accept_damaged = true;
        if (!word.spec->takes_value) continue;
        const ValueOption& found = table[static_cast<std::size_t>(word.spec - specs.data()) - std::size(kFlags)];
        if (!found.store(word.value, options)) {
            message = "invalid value '" + word.value + "' for " + word.spelling;
            return Parsed::error;
        }
        if (found.renderer == 8 && found.long_name == "--render-data") options.eight_colours = true;
        if (found.renderer != 0) renderer_options.emplace_back(found.renderer, word.spelling);
    }
    const int renderer = options.eight_colours ? 8 : 6;
    for (const auto& [owner, spelling] : renderer_options) {
        if (owner == renderer) continue;
        message = spelling + (renderer == 8 ? " is an option of the six-ink renderer"
                                            : " needs the eight-colour renderer (-8 or --render-data)");
        return Parsed::error;
    }
    if (options.format == PanelFormat::bmp && options.eight_colours)
        message = "--format bmp is the six-ink panel file; eight colours write pgm or a packed format";
    else if (options.format == PanelFormat::pgm && !options.eight_colours)
        message = "--format pgm is the eight-colour panel file; six inks write bmp or a packed format";
    else if (options.pictures.empty())
        message = "no picture given";
    else if (options.output.empty())
        message = "no output given (-o)";
    if (!message.empty()) return Parsed::error;
    return Parsed::run;
}

}  // namespace photo2panel
