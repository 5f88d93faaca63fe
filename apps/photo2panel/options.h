// The command line of photo2panel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace photo2panel {

// What the panel file holds: the renderer's own file (a BMP for six inks,
// a PGM for eight colours) or a packed buffer of the panel's codes.
enum class PanelFormat { native, bmp, pgm, packed4, packed_indices, c_array };

constexpr bool is_packed(PanelFormat format) {
    return format == PanelFormat::packed4 || format == PanelFormat::packed_indices || format == PanelFormat::c_array;
}

enum class Fit { cover, contain, fill };
// What --fit cover keeps of a picture wider or taller than the panel.
enum class Crop { centre, attention, entropy };
enum class Rotate { automatic, none, quarter, half, three_quarters };

struct Options {
    std::vector<std::string> pictures;  // "-": standard input
    std::string output;                 // a file, or a folder when several pictures are given
    std::string preview;                // PNG of what the panel shows; a folder with several pictures
    std::string save_fitted;            // the fitted picture as BMP or PPM; a folder with several pictures
    int width = 800;
    int height = 480;
    Fit fit = Fit::cover;
    Crop crop = Crop::attention;
    Rotate rotate = Rotate::automatic;
    std::array<std::uint8_t, 3> background{255, 255, 255};
    double max_megapixels = 100.0;
    bool quiet = false;
    bool accept_damaged = false;  // render a truncated or damaged picture anyway, with a warning
    PanelFormat format = PanelFormat::native;
    std::vector<std::uint8_t> index_map;  // packed formats: index i is written as index_map[i]
    int jobs = 0;                         // pictures rendered at once; 0: one per processor core
    // Six inks.
    std::string lut;  // empty: the installed v2 table
    int dither = 6;   // 1..6 as Morva6_render takes it
    int mode = 1;
    int tft = 0;
    int hue = 0;
    int saturation = 0;
    int brightness = 0;
    int contrast = 0;
    double gamma = 1.0;
    // Eight colours.
    bool eight_colours = false;
    std::string render_data;  // empty: the installed sample render data
    int temperature = 25;
    double chroma = 0.0;
    double lightness = 0.0;
    int noise = -1;
};

// What parse_options decided.
enum class Parsed { run, help, version, error };

// Reads argv into options. On Parsed::error `message` says what is wrong.
Parsed parse_options(int argc, const char* const* argv, Options& options, std::string& message);

// The text of --help.
const char* usage_text();

}  // namespace photo2panel
