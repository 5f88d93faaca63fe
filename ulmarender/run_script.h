// The run script: checks the file names, times the render and calls the
// pipeline.
#pragma once

#include <optional>
#include <string>

#include "ulmarender/render_data.h"

// Runs conversion `cnv_type` (0 renders, 1 does nothing) and prints its
// duration in whole seconds. render_path is handed on unused. False when the
// render failed in a way that ends the program with status 1 (the reason is
// printed; the time line is not).
[[nodiscard]] bool convert_img(int cnv_type, const char* img, const char* lot_code, const char* render_path,
                               const char* output_path, int temp);

// Renders `img` (its file name must contain ".ppm") to output_path with the
// render-data directory `lot`. Returns a copy of the output path, an empty
// holder when the input name was refused, or nothing when the run must end
// with status 1 (the reason is printed).
[[nodiscard]] std::optional<HeapString> render_Ulma(const char* img, const char* lot, const char* render_path,
                                                    const char* output_path, int temp);

// Ends the process with status 1 when the output file could not be written.
// It never empties an existing file and leaves no file behind that it
// created itself.
void check_output_name_correct(const char* filename);

// check_output_name_correct without the exit: the same messages, then false.
[[nodiscard]] bool try_check_output_name_correct(const char* filename);

// The working directory, whatever its length; false when it cannot be read.
bool read_working_directory(std::string& cwd);
