// Writes a sample render-data directory for the eight-colour renderer:
//
//   make_render_data <output dir> <lot directory name> <boundary> <boundary>...
//
// creates <output dir>/<lot directory name>/ with
//   - the waveform file <lot name>.wbf (the band count and the boundaries;
//     every other byte zero);
//   - per band <base>_data_<lo>Cto<hi>C_<ver>.bin, the band's eight palette
//     colours as CIELAB triplets, drifting with the band's middle temperature;
//   - per band <base>_lut_<lo>Cto<hi>C_<ver>.bin, a 64 x 64 x 64 colour table
//     that gamut-maps every colour into the colours the band's palette can
//     mix in CIELAB.
// The lot directory name ends in "_" and a two-character version; the lot
// name is the directory name without them and <base> is the lot name less
// its last three characters (ULMA_SAMPLE01_TC_03 -> ULMA_SAMPLE01_TC and
// ULMA_SAMPLE01). Every file is replaced only once it is complete.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/lut_builder/lut_file.h"
#include "tools/render_data/render_data.h"

namespace {

bool write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::string error;
    if (lut_builder::write_file_replacing(path.string(), bytes, error)) return true;
    std::cerr << "make_render_data: " << error << "\n";
    return false;
}

bool write_text(const std::filesystem::path& path, const std::string& text) {
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    return write(path, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace render_data;
    if (argc < 5) {
        std::cerr << "usage: make_render_data <output dir> <lot directory name> <boundary> <boundary>...\n";
        return 2;
    }
    const std::string lot_directory = argv[2];
    std::vector<int> boundaries;
    for (int i = 3; i < argc; ++i) boundaries.push_back(std::atoi(argv[i]));
    if (lot_directory.size() < 6 || boundaries.size() > kMaxBoundaries ||
        std::adjacent_find(boundaries.begin(), boundaries.end(), std::greater_equal<>()) != boundaries.end() ||
        boundaries.front() < -128 || boundaries.back() > 127) {
        std::cerr << "make_render_data: need a lot directory name of 6 or more characters and 2 to 30 "
                     "rising boundaries within -128..127\n";
        return 2;
    }
    const LotNames names = lot_names(lot_directory);
    const std::filesystem::path directory = std::filesystem::path(argv[1]) / lot_directory;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::cerr << "make_render_data: can not create " << directory << ": " << error.message() << "\n";
        return 1;
    }

    if (!write(directory / (names.lot_name + ".wbf"), waveform_bytes(boundaries))) return 1;
    for (std::size_t r = 0; r + 1 < boundaries.size(); ++r) {
        const int low = boundaries[r];
        const int high = boundaries[r + 1];
        const Palette palette = palette_at((low + high) / 2.0);
        const std::vector<std::uint8_t> lut = band_lut_bytes(palette);
        if (lut.empty()) {
            std::cerr << "make_render_data: the palette of band " << low << ".." << high << " is unusable\n";
            return 1;
        }
        if (!write_text(directory / band_file_name(names, "data", low, high), palette_text(palette)) ||
            !write(directory / band_file_name(names, "lut", low, high), lut)) {
            return 1;
        }
    }
    return 0;
}
