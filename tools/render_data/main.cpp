// Writes a render-data directory for the eight-colour renderer:
//
//   make_render_data [--palette FILE | --palette-lab VALUES]... <output dir> <lot directory name> <boundary> <boundary>...
//
// creates <output dir>/<lot directory name>/ with
//   - the waveform file <lot name>.wbf (the band count and the boundaries;
//     every other byte zero);
//   - per band <base>_data_<lo>Cto<hi>C_<ver>.bin, the band's eight palette
//     colours as CIELAB triplets: the measured palettes given (one for every
//     band, or one per band in band order), else sample palettes drifting
//     with the band's middle temperature;
//   - per band <base>_lut_<lo>Cto<hi>C_<ver>.bin, the colour table built for
//     that palette.
// The lot directory name ends in "_" and a two-character version; the lot
// name is the directory name without them and <base> is the lot name less
// its last three characters (ULMA_SAMPLE01_TC_03 -> ULMA_SAMPLE01_TC and
// ULMA_SAMPLE01). Every file is replaced only once it is complete.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/command_line.h"
#include "common/formats/render_data_layout.h"
#include "common/guarded_main.h"
#include "common/numbers.h"
#include "common/output_set.h"
#include "tools/lut_builder/palette_text.h"
#include "tools/render_data/render_data.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: make_render_data [options] [--] <output dir> <lot directory name> <boundary> <boundary>...\n"
    "\n"
    "Writes <output dir>/<lot directory name>/ for the eight-colour renderer: the\n"
    "waveform file with the temperature bands, and per band (each pair of\n"
    "neighbouring boundaries, whole degrees -128..127, rising, 2 to 30 of them)\n"
    "the palette data file and the colour LUT built for that palette. The lot\n"
    "directory name is <lot name>_<two-character version>, e.g. ULMA_TEST01_TC_03.\n"
    "\n"
    "Options:\n"
    "  --palette FILE        a measured palette: eight CIELAB (D65) colours \"L a b\",\n"
    "                        in palette order (black, white, yellow, red, blue,\n"
    "                        green, orange, violet), e.g. a band's palette data file\n"
    "  --palette-lab VALUES  the same as \"L,a,b L,a,b ...\"\n"
    "                        Give one palette for every band, or one per band in\n"
    "                        band order; without any, sample palettes are made up\n"
    "                        (strongest at 25 degrees, fading in the cold and heat).\n"
    "  --tone=clip|map       as morva6_lut_builder --tone: clip (default) or map the\n"
    "                        picture's lightness range onto the palette's\n"
    "  --fixed-lift          lift every entry by 1.5 L* instead of making up for what\n"
    "                        the renderer's diffusion lays down, measured by running it\n"
    "  --aim-mix             measure the whole sRGB cube, as the eye mixes the dots,\n"
    "                        and give each entry the bytes whose patch shows its\n"
    "                        colour (the default for a palette with a colour beyond\n"
    "                        the sRGB cube)\n"
    "  --no-aim-mix          aim at the renderer's CIELAB average, measured on the\n"
    "                        palette's reach (the default for other palettes)\n"
    "  --no-flat-inks        mix every colour, also those close to a palette colour,\n"
    "                        pure black and pure white (by default these are\n"
    "                        printed in that palette colour alone)\n"
    "  -h, --help            show this text\n"
    "  --version             show the version\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be written, 2 bad arguments\n"
    "(nothing is written).\n";

int bad_arguments(const std::string& message) {
    std::cerr << "make_render_data: " << message << "\nTry 'make_render_data --help'.\n";
    return 2;
}

// A whole number of degrees, -128..127.
bool parse_boundary(std::string_view text, int& value) {
    const auto parsed = common::parse_whole(text, -128, 127);
    if (parsed) value = static_cast<int>(*parsed);
    return parsed.has_value();
}

// A lot directory name that ulmarender takes whole and splits the same
// way: 6 to 99 characters (lot name, "_", a two-character version), a
// single path component that stays inside the output folder.
bool usable_lot_name(std::string_view name) {
    return name.size() >= 6 && name.size() <= 99 && name.find_first_of("/\\") == std::string_view::npos &&
           name.find("..") == std::string_view::npos && name.front() != '.';
}

}  // namespace

static int run_main(int argc, char** argv) {
    using namespace render_data;
    std::vector<Palette> palettes;
    lut_builder::TableChoices choices;
    static constexpr common::OptionSpec kSpecs[] = {
        {'h', "help", false},        {'\0', "version", false}, {'\0', "no-flat-inks", false},
        {'\0', "fixed-lift", false}, {'\0', "palette", true},  {'\0', "palette-lab", true},
        {'\0', "tone", true},        {'\0', "aim-mix", false}, {'\0', "no-aim-mix", false}};
    const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
    std::vector<common::CommandWord> parsed;
    if (std::string error; !common::split_command_line(args, kSpecs, parsed, error)) return bad_arguments(error);
    std::vector<std::string_view> words;
    for (const common::CommandWord& word : parsed) {
        const std::string_view name = word.spec == nullptr ? std::string_view() : word.spec->long_name;
        if (word.spec == nullptr) {
            words.push_back(word.spelling);
        } else if (name == "help" || name == "version") {
            std::cout << (name == "help" ? std::string(kUsage) : "make_render_data " MORVA6_VERSION "\n");
            return 0;
        } else if (name == "no-flat-inks") {
            choices.flat_inks = false;
        } else if (name == "fixed-lift") {
            choices.measured_renderer = false;
        } else if (name == "aim-mix" || name == "no-aim-mix") {
            choices.aim_mix =
                name == "aim-mix" ? lut_builder::TableChoices::AimMix::on : lut_builder::TableChoices::AimMix::off;
        } else if (name == "tone") {
            if (word.value != "map" && word.value != "clip")
                return bad_arguments("--tone is clip or map, got '" + word.value + "'");
            choices.tone_map = word.value == "map";
        } else {
            std::string error;
            auto palette = name == "palette" ? lut_builder::read_lab_colours(word.value, kPaletteSize, error)
                                             : lut_builder::parse_lab_colours(word.value, kPaletteSize, error);
            if (!palette) return bad_arguments(word.spelling + ": " + error);
            palettes.push_back(std::move(*palette));
        }
    }
    if (words.size() < 4) return bad_arguments("need an output dir, a lot directory name and 2 or more boundaries");
    const std::string lot_directory(words[1]);
    std::vector<int> boundaries(words.size() - 2);
    for (std::size_t i = 2; i < words.size(); ++i)
        if (!parse_boundary(words[i], boundaries[i - 2]))
            return bad_arguments("'" + std::string(words[i]) + "' is not a boundary (whole degrees -128..127)");
    if (!usable_lot_name(lot_directory))
        return bad_arguments("'" + lot_directory +
                             "' is no lot directory name: 6 to 99 characters such as "
                             "ULMA_SAMPLE01_TC_03, without '/', '\\' or '..'");
    if (lot_directory.size() < 6 || boundaries.size() > kMaxBoundaries ||
        std::adjacent_find(boundaries.begin(), boundaries.end(), std::greater_equal<>()) != boundaries.end())
        return bad_arguments("need a lot directory name of 6 or more characters and 2 to 30 rising boundaries");
    const std::size_t bands = boundaries.size() - 1;
    if (palettes.size() > 1 && palettes.size() != bands)
        return bad_arguments("give one palette for every band or one per band (" + std::to_string(bands) +
                             " bands), not " + std::to_string(palettes.size()));

    // Every band's LUT is built before anything is written.
    std::vector<Palette> band_palettes;
    std::vector<std::vector<std::uint8_t>> luts;
    for (std::size_t r = 0; r < bands; ++r) {
        const int low = boundaries[r];
        const int high = boundaries[r + 1];
        band_palettes.push_back(
            as_written(palettes.empty() ? palette_at((low + high) / 2.0) : palettes[palettes.size() == 1 ? 0 : r]));
        luts.push_back(band_lut_bytes(band_palettes.back(), choices));
        if (luts.back().empty())
            return bad_arguments("the palette of band " + std::to_string(low) + ".." + std::to_string(high) +
                                 " spans no volume: no colour can be mixed from it");
    }
    const LotNames names = lot_names(lot_directory);
    const std::filesystem::path directory = std::filesystem::path(std::string(words[0])) / lot_directory;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::cerr << "make_render_data: can not create " << directory << ": " << error.message() << "\n";
        return 1;
    }
    // The folder's files change together: all of them or, on failure, none.
    using common::render_data::band_file_name;
    using common::render_data::BandFile;
    common::OutputSet outputs;
    outputs.add((directory / common::render_data::waveform_file_name(names.lot_name)).string(), "",
                waveform_bytes(boundaries));
    for (std::size_t r = 0; r < bands; ++r) {
        const int low = boundaries[r];
        const int high = boundaries[r + 1];
        outputs.add((directory / band_file_name(names.base, BandFile::palette_data, low, high, names.version)).string(),
                    palette_text(band_palettes[r]));
        outputs.add((directory / band_file_name(names.base, BandFile::lut, low, high, names.version)).string(), "",
                    luts[r]);
    }
    std::string problem;
    if (!outputs.commit(problem)) {
        std::cerr << "make_render_data: " << problem << "\n";
        return 1;
    }
    std::cout << "Wrote " << directory.string() << ": " << bands << " bands, "
              << (palettes.empty() ? "sample" : "measured") << " palettes.\n";
    return 0;
}

int main(int argc, char** argv) {
    return common::run_guarded("make_render_data", [&] { return run_main(argc, argv); });
}
