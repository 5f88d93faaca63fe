// The colour LUT file of a temperature band (the band LUT file of
// common/formats/lut_layout.h).
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "common/formats/lut_layout.h"

namespace ulma {

inline constexpr std::size_t kLutFileSize = common::lut::kBandFileSize;

// Index of the LUT entry of an input colour (channels 0 to 255).
inline int lut_index(int r, int g, int b) { return static_cast<int>(common::lut::index(r, g, b)); }

// The first kLutFileSize bytes of the file in one read, or nothing when the
// file cannot be opened or is shorter than that.
std::optional<std::vector<unsigned char>> read_lut_file(const char* file);

}  // namespace ulma
