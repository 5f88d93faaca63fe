// The program's view of the render-data directory: the lot name and the
// temperature table in the process-wide variables (settings.h), filled and
// read by the functions of the run, with the console messages of a run.
#pragma once

#include <memory>
#include <string>

#include "common/holders.h"

// A string allocated by vasprintf; freed when the holder goes.
using HeapString = std::unique_ptr<char, common::FreeDeleter>;

// Formats like printf into a newly allocated string. On failure prints
// "vasprintf failed" and returns an empty holder.
HeapString str_concat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Fills gLotName and gLotCodeVer from the render-data directory path; false,
// with the problem printed, when the name is unusable (the program then
// ends with status 1).
[[nodiscard]] bool split_argv_lot(const char* lot_code_org);

// Opens lot_dir/lot_name.wbf and reads its temperature table into gTempRange
// and gTempTable; false, with the reason printed, when the file is missing,
// too short or announces more bands than the table holds (the program then
// ends with status 1).
[[nodiscard]] bool get_temp_data_from_wbf(const char* lot_name, const char* lot_dir);

// split_argv_lot and get_temp_data_from_wbf of the render-data directory
// `dir`, as a run does before it renders.
[[nodiscard]] bool open_render_data_of_run(const char* dir);

// The band of `temp` in gTempTable (ulma::search_temp_region).
int search_temp_region(int temp);

// Same as search_temp_region.
int my_search_temp_region(int temp);

// Paths of the colour LUT file and of the palette data file of the band of
// `temp` inside render_data_dir.
std::string special_get_file_temp(const char* render_data_dir, int temp);
std::string special_get_eo_file_temp(const char* render_data_dir, int temp);
