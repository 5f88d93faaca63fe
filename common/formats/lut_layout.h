// The colour table both renderers look pictures up in, and the two LUT
// files that carry it.
//
// The table has 64 x 64 x 64 entries of three bytes, one per cell of four
// input levels per channel: the entry of a colour (R, G, B) is
// (R >> 2) * 4096 + (G >> 2) * 64 + (B >> 2), red the slowest axis.
//
// Six-ink LUT file (libmorva6): the six measured ink colours (black, white,
// yellow, red, green, blue; three bytes each, blue, green, red), then the
// table with every entry blue, green, red.
//
// Band LUT file (the eight-colour renderer's render data): the table with
// every entry red, green, blue, then three bytes that are never used.
#pragma once

#include <cstddef>
#include <cstdint>

namespace common::lut {

inline constexpr int kLevelsPerCell = 4;
inline constexpr int kCells = 256 / kLevelsPerCell;  // per channel
inline constexpr std::size_t kEntries = std::size_t{kCells} * kCells * kCells;
inline constexpr std::size_t kTableBytes = kEntries * 3;

inline constexpr std::size_t kInkColourBytes = 18;
inline constexpr std::size_t kSixInkFileSize = kInkColourBytes + kTableBytes;  // 786,450
inline constexpr std::size_t kBandFileSize = kTableBytes + 3;                  // 786,435

// The entry of an input colour (channels 0 to 255).
constexpr std::size_t index(int red, int green, int blue) {
    return static_cast<std::size_t>(red >> 2) * 4096 + static_cast<std::size_t>(green >> 2) * 64 +
           static_cast<std::size_t>(blue >> 2);
}

}  // namespace common::lut
