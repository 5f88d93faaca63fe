// The render-data folder of a panel lot, opened into a value: the lot name
// and code version from the folder's name, the temperature bands of its
// waveform file, and the names of the per-band colour LUT and palette data
// files.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/formats/render_data_layout.h"

namespace ulma {

// Room for boundaries of the temperature table, i.e. kTempTableSize - 1 bands.
inline constexpr int kTempTableSize = 30;

// The largest band count byte of a waveform file the table holds.
inline constexpr int kMaxBandCountByte = kTempTableSize - 2;

// "_" and the version are cut from the directory name, then three more
// characters from the lot name for the band file names.
inline constexpr std::size_t kShortestLotDirectoryName = 6;
inline constexpr std::size_t kLongestLotDirectoryName = 99;

struct TempTable {
    std::array<int, kTempTableSize> bounds{};  // bounds[0..range]: band r runs from bounds[r] to bounds[r + 1]
    int range = 0;                             // number of bands
};

struct RenderData {
    std::string dir;           // the folder as given
    std::string lot_name;      // the folder's name less "_" and the version
    std::string code_version;  // the two-character version
    TempTable temps;
};

// Last component of a render-data directory path, split into the lot name
// (without its last three characters) and the two-character code version.
struct LotName {
    std::string name;
    std::string code_version;
};

enum class LotNameProblem {
    none,
    no_name,    // the path is empty or only separators
    too_short,  // fewer than kShortestLotDirectoryName characters
    too_long,   // more than kLongestLotDirectoryName characters
};

// Splits `path` at its last '/' or '\\' (trailing separators ignored; a path
// without separator is the name itself).
LotNameProblem split_lot_name(std::string_view path, LotName& lot);

enum class TempTableProblem { none, too_short, too_many_bands };

// Reads the temperature table from an open waveform file; `table` is
// changed only when the whole table is present and fits.
TempTableProblem read_temp_table(std::FILE* waveform_file, TempTable& table);

// The waveform file's path: dir/lot_name.wbf.
std::string waveform_path(std::string_view dir, std::string_view lot_name);

enum class OpenProblem {
    none,
    no_name,
    name_too_short,
    name_too_long,
    waveform_missing,     // the waveform file cannot be opened; OpenResult::error_number tells why
    waveform_not_a_file,  // a folder, a pipe or a device where the waveform file belongs
    waveform_too_short,   // shorter than the temperature table it announces
    too_many_bands,       // announces more bands than the table holds
};

struct OpenResult {
    OpenProblem problem = OpenProblem::none;
    int error_number = 0;  // errno of a waveform file that cannot be opened
    std::string path;      // the waveform file (empty when the name was unusable)
};

// Opens the render-data folder `dir`: its name, then its waveform file.
OpenResult open_render_data(std::string_view dir, RenderData& data);

// What went wrong, in one sentence (no line end).
std::string describe(const OpenResult& result);

// Index of the band that holds `temp`: a temperature on a boundary belongs
// to the band below it; temperatures outside the table go to the first or
// the last band.
int search_temp_region(const TempTable& table, int temp);

using common::render_data::BandFile;

// Path of a per-band file inside the folder (common/formats/render_data_layout.h).
std::string band_file_path(const RenderData& data, BandFile kind, int temp);

}  // namespace ulma
