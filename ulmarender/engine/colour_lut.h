// The colour LUT file of a temperature band: 64 x 64 x 64 entries of three
// bytes (red, green, blue), red the slowest axis in steps of 4 input levels,
// followed by three unused bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace ulma {

inline constexpr int kLutStep = 4;                            // input levels per LUT step
inline constexpr int kLutSteps = 256 / kLutStep;              // steps per channel
inline constexpr int kLutEntries = kLutSteps * kLutSteps * kLutSteps;
inline constexpr std::size_t kLutFileSize = (kLutEntries + 1) * 3;  // 786,435 bytes

// Index of the LUT entry of an input colour (channels 0 to 255).
inline int lut_index(int r, int g, int b) { return (r >> 2) * 4096 + (g >> 2) * 64 + (b >> 2); }

// The first kLutFileSize bytes of the file in one read, or nothing when the
// file cannot be opened or is shorter than that.
std::optional<std::vector<unsigned char>> read_lut_file(const char* file);

}  // namespace ulma
