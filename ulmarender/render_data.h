// The render-data directory of a panel lot: the temperature table of its
// waveform file, the band search, and the names of the per-band colour LUT
// and palette data files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// A string allocated by vasprintf; freed when the holder goes.
struct FreeDeleter {
    void operator()(char* text) const { std::free(text); }
};
using HeapString = std::unique_ptr<char, FreeDeleter>;

// Formats like printf into a newly allocated string. On failure prints
// "vasprintf failed" and returns an empty holder.
HeapString str_concat(const char* format, ...) __attribute__((format(printf, 1, 2)));

enum class TempTableProblem { none, too_short, too_many_bands };

// Reads the temperature table from an open waveform file: byte 38 is the
// number of bands less one, the signed boundaries start at byte 48. Fills
// gTempRange and gTempTable only when the whole table is present and fits.
TempTableProblem read_temp_table(std::FILE* waveform_file);

// Opens lot_dir/lot_name.wbf and reads its temperature table; ends the
// process with status 1 when the file is missing, too short or announces
// more bands than the table holds.
void get_temp_data_from_wbf(const char* lot_name, const char* lot_dir);

// get_temp_data_from_wbf without the exit: the same messages, then false.
[[nodiscard]] bool try_get_temp_data_from_wbf(const char* lot_name, const char* lot_dir);

// Index of the band that holds `temp`: a temperature on a boundary belongs
// to the band below it; temperatures outside the table go to the first or
// the last band.
int search_temp_region(int temp);

// Paths of the colour LUT file and of the palette data file of the band of
// `temp` inside render_data_dir.
std::string special_get_file_temp(const char* render_data_dir, int temp);
std::string special_get_eo_file_temp(const char* render_data_dir, int temp);
