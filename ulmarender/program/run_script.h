// The run script: checks the file names, times the render and calls the
// pipeline.
#pragma once

#include <string>

#include "ulmarender/program/render_data_files.h"
#include "ulmarender/program/version.h"

// Runs conversion `cnv_type` (0 renders, 1 does nothing) and prints its
// duration in whole seconds. render_path is handed on unused. False when the
// render failed in a way that ends the program with status 1 (the reason is
// printed; the time line is not).
[[nodiscard]] bool convert_img(const UlmaVersion& version, int cnv_type, const char* img, const char* lot_code,
                               const char* render_path, const char* output_path, int temp);

// Renders `img` (its file name must contain ".ppm") to output_path with the
// render-data directory `lot`. Returns a copy of the output path, or an
// empty holder when the run must end with status 1 (the reason is printed;
// a refused input name creates no output file).
[[nodiscard]] HeapString render_Ulma(const UlmaVersion& version, const char* img, const char* lot,
                                     const char* render_path, const char* output_path, int temp);

// Whether the output file can be written; false, with the reason printed,
// when not (the program then ends with status 1). It never empties an
// existing file and leaves no file behind that it created itself.
[[nodiscard]] bool check_output_name_correct(const char* filename);

// The working directory, whatever its length; false when it cannot be read.
bool read_working_directory(std::string& cwd);
