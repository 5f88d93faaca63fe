// The render-data directory of a panel lot: the temperature table of its
// waveform file, the band search, and the names of the per-band colour LUT
// and palette data files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "common/holders.h"

// A string allocated by vasprintf; freed when the holder goes.
using HeapString = std::unique_ptr<char, common::FreeDeleter>;

// Formats like printf into a newly allocated string. On failure prints
// "vasprintf failed" and returns an empty holder.
HeapString str_concat(const char* format, ...) __attribute__((format(printf, 1, 2)));

enum class TempTableProblem { none, too_short, too_many_bands };

// Reads the temperature table from an open waveform file: byte 38 is the
// number of bands less one, the signed boundaries start at byte 48. Fills
// gTempRange and gTempTable only when the whole table is present and fits.
TempTableProblem read_temp_table(std::FILE* waveform_file);

// Opens lot_dir/lot_name.wbf and reads its temperature table; false, with
// the reason printed, when the file is missing, too short or announces more
// bands than the table holds (the program then ends with status 1).
[[nodiscard]] bool get_temp_data_from_wbf(const char* lot_name, const char* lot_dir);

// Index of the band that holds `temp`: a temperature on a boundary belongs
// to the band below it; temperatures outside the table go to the first or
// the last band.
int search_temp_region(int temp);

// Same as search_temp_region.
int my_search_temp_region(int temp);

// Paths of the colour LUT file and of the palette data file of the band of
// `temp` inside render_data_dir.
std::string special_get_file_temp(const char* render_data_dir, int temp);
std::string special_get_eo_file_temp(const char* render_data_dir, int temp);

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

// "_" and the version are cut from the directory name, then three more
// characters from the lot name for the band file names.
inline constexpr std::size_t kShortestLotDirectoryName = 6;
inline constexpr std::size_t kLongestLotDirectoryName = 99;

// Splits `path` at its last '/' or '\\' (trailing separators ignored; a path
// without separator is the name itself).
LotNameProblem split_lot_name(std::string_view path, LotName& lot);

// Fills gLotName and gLotCodeVer from the render-data directory path; false,
// with the problem printed, when the name is unusable (the program then
// ends with status 1).
[[nodiscard]] bool split_argv_lot(const char* lot_code_org);
