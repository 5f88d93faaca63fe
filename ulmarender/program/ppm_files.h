// The renderer's picture files: the binary PPM (P6) input, the binary PGM
// (P5) of panel codes and the PPM proof image.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/output_set.h"

enum class PpmProblem {
    none,
    not_p6,       // the file does not start with the magic "P6"
    bad_header,   // a size or maximum is missing, not a number, or the file ends inside the header
    max_not_255,  // the maximum value is not 255
    bad_size,     // width or height below 1, or width x height x 4 beyond INT32_MAX
    truncated,    // fewer pixel bytes than width x height x 3
};

struct PpmHeader {
    int width = 0;
    int height = 0;
};

// Reads a P6 header from `file`: the magic, then width, height and maximum
// separated by any whitespace, with comments ('#' to the end of the line)
// between them, and the single whitespace character that ends the header.
// On success the file stands at the first pixel byte.
PpmProblem read_ppm_header(std::FILE* file, PpmHeader& header);

// Reads the header of `filename` and stores its size. False, with the
// reason printed, when the file cannot be opened, is no usable PPM, or is
// shorter than its header and pixels (checked before any picture-sized
// buffer exists); the program then ends with status 1.
[[nodiscard]] bool ppm_load(const char* filename, int& w, int& h);

// Reads `filename` again and its w x h x 3 pixel bytes (red, green, blue)
// into out_data, which must hold exactly that many bytes; false like
// ppm_load.
[[nodiscard]] bool ppm_load_rgb(const char* filename, std::span<unsigned char> out_data, int& w, int& h);

// The proof image's path for an output path: the output path less its last
// four characters (its ".pgm"; all of it when shorter), then "_proof.ppm".
std::string proof_image_path(std::string_view output_path);

// Reads `filename` once, header and pixels: `rgb` receives its w x h x 3
// pixel bytes (red, green, blue); false like ppm_load.
[[nodiscard]] bool ppm_read_picture(const char* filename, std::vector<unsigned char>& rgb, int& w, int& h);

// Adds the proof image of the output `filename` (a P6 file of w x h pixels
// from `data`, red, green, blue, taken over) to the run's outputs, printing
// its path.
void ppm_save(common::OutputSet& outputs, const char* filename, std::vector<unsigned char>&& data, int w, int h);

// Adds the PGM of ImageX x ImageY pixels from out_pgm_buf (one panel code
// byte per pixel, taken over) to the run's outputs.
void buf_pgm_save(common::OutputSet& outputs, const char* filename, std::vector<unsigned char>&& out_pgm_buf);

// Writes the run's outputs, all or none. False, with the reason printed,
// when any could not be written (status 1 of the program); every earlier
// file then stays as it was.
[[nodiscard]] bool save_outputs(common::OutputSet& outputs);

// The proof image or the PGM alone, as save_outputs writes them.
[[nodiscard]] bool ppm_save(const char* filename, std::span<const unsigned char> data, int w, int h);
[[nodiscard]] bool buf_pgm_save(const char* filename, std::span<const unsigned char> out_pgm_buf);

// Runs `cmd` through a pipe and keeps the last piece of its output (pieces
// of up to 127 characters) less its last character in result_str.
void execmd(std::string& result_str, const char* cmd);
