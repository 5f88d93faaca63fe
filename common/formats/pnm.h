// Headers of the binary PNM files the programs write: "P6" (red, green,
// blue) or "P5" (one byte a pixel), the width and height, and 255 as the
// largest sample, each followed by one line end.
#pragma once

#include <string>

namespace common::pnm {

inline std::string header(const char* magic, int width, int height) {
    return std::string(magic) + "\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

}  // namespace common::pnm
