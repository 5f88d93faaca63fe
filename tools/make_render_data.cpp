// Writes a sample render-data directory for the eight-colour renderer:
//
//   make_render_data <output dir> <lot directory name> <boundary> <boundary>...
//
// creates <output dir>/<lot directory name>/ with
//   - the waveform file <lot name>.wbf: byte 38 holds the number of bands less
//     one, the signed band boundaries (degrees Celsius) start at byte 48, and
//     every other byte is zero (the panel's own waveform data is not needed
//     by the renderer and is not made up here);
//   - per band a colour LUT file <base>_lut_<lo>Cto<hi>C_<ver>.bin of
//     64 x 64 x 64 red/green/blue entries plus three unused bytes;
//   - per band a palette data file <base>_data_<lo>Cto<hi>C_<ver>.bin with the
//     eight palette colours as CIELAB triplets, one colour per line.
// The lot directory name ends in "_" and a two-character version; the lot
// name is the directory name without them and <base> is the lot name less
// its last three characters (e.g. ULMA_SAMPLE01_TC_03 -> ULMA_SAMPLE01_TC
// and ULMA_SAMPLE01).
//
// All values are invented sample data of a plausible panel: the LUT gently
// compresses the picture into the range the inks can show (more at low
// temperatures, where the inks are slower), and the palette colours lose
// some chroma and lightness in the cold.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kLutSteps = 64;
constexpr std::size_t kLutBytes = (kLutSteps * kLutSteps * kLutSteps + 1) * 3;
constexpr std::size_t kWaveformBytes = 64;
constexpr int kMaxBoundaries = 30;

struct Lab {
    double l, a, b;
};

// The eight palette colours at 25 degrees, in palette index order: black,
// white, yellow, red, blue, green, orange, violet.
constexpr Lab kWarmPalette[8] = {
    {16.0, 1.5, -2.0},  {73.0, -1.0, 3.5},  {68.0, -4.0, 52.0}, {40.0, 36.0, 22.0},
    {30.0, 6.0, -30.0}, {44.0, -26.0, 10.0}, {55.0, 24.0, 42.0}, {33.0, 18.0, -17.0},
};

// 0 at -10 degrees and below, 1 at 25 degrees and above.
double warmth(double celsius) { return std::clamp((celsius + 10.0) / 35.0, 0.0, 1.0); }

bool write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::cerr << "make_render_data: can not write " << path << "\n";
    return static_cast<bool>(out);
}

std::string waveform_file(const std::vector<int>& boundaries) {
    std::string bytes(kWaveformBytes, '\0');
    bytes[38] = static_cast<char>(boundaries.size() - 2);
    for (std::size_t i = 0; i < boundaries.size(); ++i) {
        bytes[48 + i] = static_cast<char>(static_cast<signed char>(boundaries[i]));
    }
    return bytes;
}

// Every channel level v (0..255 at the middle of its LUT step) goes to
// floor + v x (ceiling - floor) / 255; the range narrows in the cold.
std::string lut_file(double celsius) {
    const double w = warmth(celsius);
    const double floor_level = 14.0 - 6.0 * w;
    const double ceiling_level = 232.0 + 18.0 * w;
    auto level = [&](int step) {
        const double v = step * 4 + 2;
        return static_cast<char>(std::lround(floor_level + v * (ceiling_level - floor_level) / 255.0));
    };
    std::string bytes(kLutBytes, '\0');
    std::size_t at = 0;
    for (int r = 0; r < kLutSteps; ++r) {
        for (int g = 0; g < kLutSteps; ++g) {
            for (int b = 0; b < kLutSteps; ++b) {
                bytes[at++] = level(r);
                bytes[at++] = level(g);
                bytes[at++] = level(b);
            }
        }
    }
    return bytes;  // the last three bytes stay zero: they are never used
}

std::string palette_file(double celsius) {
    const double w = warmth(celsius);
    const double chroma = 0.8 + 0.2 * w;
    const double lightness_loss = 4.0 * (1.0 - w);
    std::string text;
    char line[80];
    for (const Lab& colour : kWarmPalette) {
        std::snprintf(line, sizeof line, "%.2f %.2f %.2f\n", std::max(0.0, colour.l - lightness_loss),
                      colour.a * chroma, colour.b * chroma);
        text += line;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::cerr << "usage: make_render_data <output dir> <lot directory name> <boundary> <boundary>...\n";
        return 2;
    }
    const std::string lot_directory = argv[2];
    std::vector<int> boundaries;
    for (int i = 3; i < argc; ++i) boundaries.push_back(std::atoi(argv[i]));
    if (lot_directory.size() < 6 || boundaries.size() > kMaxBoundaries ||
        !std::is_sorted(boundaries.begin(), boundaries.end()) || boundaries.front() < -128 ||
        boundaries.back() > 127) {
        std::cerr << "make_render_data: need a lot directory name of 6 or more characters and 2 to 30 "
                     "ascending boundaries within -128..127\n";
        return 2;
    }
    const std::string lot_name = lot_directory.substr(0, lot_directory.size() - 3);
    const std::string version = lot_directory.substr(lot_directory.size() - 2);
    const std::string base = lot_name.substr(0, lot_name.size() - 3);

    const std::filesystem::path directory = std::filesystem::path(argv[1]) / lot_directory;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::cerr << "make_render_data: can not create " << directory << ": " << error.message() << "\n";
        return 1;
    }

    bool ok = write_file(directory / (lot_name + ".wbf"), waveform_file(boundaries));
    for (std::size_t r = 0; r + 1 < boundaries.size(); ++r) {
        const std::string band = std::to_string(boundaries[r]) + "Cto" + std::to_string(boundaries[r + 1]) + "C";
        const double middle = (boundaries[r] + boundaries[r + 1]) / 2.0;
        ok = write_file(directory / (base + "_lut_" + band + "_" + version + ".bin"), lut_file(middle)) && ok;
        ok = write_file(directory / (base + "_data_" + band + "_" + version + ".bin"), palette_file(middle)) && ok;
    }
    return ok ? 0 : 1;
}
