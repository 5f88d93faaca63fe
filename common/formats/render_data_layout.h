// The render-data folder of a panel lot, as the eight-colour renderer reads
// it and the render-data builder writes it.
//
// The folder's name is the lot name, "_" and a two-character code version
// (ULMA_SAMPLE01_TC_03: lot ULMA_SAMPLE01_TC, version 03). It holds
//   <lot>.wbf                                 the waveform file
//   <base>_lut_<low>Cto<high>C_<version>.bin   the band LUT of each band
//   <base>_data_<low>Cto<high>C_<version>.bin  the palette data of each band
// where base is the lot name less its last three characters and low, high
// are the band's boundaries in degrees (signed decimals).
//
// Of the waveform file only two fields are read: byte 38 is the number of
// temperature bands less one, and the band boundaries (one more than the
// bands, signed bytes, degrees Celsius) start at byte 48.
#pragma once

#include <string>
#include <string_view>

namespace common::render_data {

inline constexpr long kBandCountOffset = 38;
inline constexpr long kBoundariesOffset = 48;

enum class BandFile { lut, palette_data };

inline std::string waveform_file_name(std::string_view lot_name) { return std::string(lot_name) + ".wbf"; }

// The lot name less its last three characters (empty when shorter).
inline std::string_view file_base(std::string_view lot_name) {
    return lot_name.substr(0, lot_name.size() >= 3 ? lot_name.size() - 3 : 0);
}

inline std::string band_file_name(std::string_view base, BandFile kind, int low, int high,
                                  std::string_view code_version) {
    std::string name(base);
    name += kind == BandFile::lut ? "_lut_" : "_data_";
    name += std::to_string(low) + "Cto" + std::to_string(high) + "C_";
    name += code_version;
    name += ".bin";
    return name;
}

}  // namespace common::render_data
