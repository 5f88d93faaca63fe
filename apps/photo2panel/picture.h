// Reading any picture through libvips and fitting it to the panel.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "apps/photo2panel/options.h"

namespace photo2panel {

// A picture of width x height pixels, red, green, blue, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Starts libvips; false when it cannot be started.
bool start_picture_library(const char* program);

// Reads `path` ("-": standard input; a pipe is read once), within a bound,
// and loads it as load_fitted_picture_from_memory does. False with `error`
// set on failure (without the file's name).
bool load_fitted_picture(const std::string& path, const Options& options, RgbPicture& picture, std::string& error,
                         std::string& warnings);

// Loads a picture file held in memory: only the formats of the allow-list,
// told by their content (JPEG, PNG, WebP, TIFF, HEIF/AVIF, GIF, BMP,
// PPM/PGM/PFM), never with options taken from a name; a damaged or
// truncated file fails unless options.accept_damaged. Then turns it upright
// (EXIF orientation), converts it to 8-bit sRGB (embedded ICC profile,
// grey, 16-bit, CMYK), flattens transparency onto the background and fits
// it to the panel size of `options`. A picture larger than --max-megapixels
// is refused before its pixels are decoded. The decoders' complaints about
// a picture that was read are added to `warnings`, one a line. False with
// `error` set on failure.
bool load_fitted_picture_from_memory(std::span<const std::uint8_t> bytes, const std::string& name,
                                     const Options& options, RgbPicture& picture, std::string& error,
                                     std::string& warnings);

// The PNG file of an RGB picture; false with `error` set on failure.
bool encode_png(const RgbPicture& picture, std::vector<std::uint8_t>& png, std::string& error);

}  // namespace photo2panel
