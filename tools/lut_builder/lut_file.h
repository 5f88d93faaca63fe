// The two LUT file layouts and writing them safely.
//
// six-ink layout (786450 bytes): the six ink colours black, white, yellow,
// red, green, blue, then the table; every colour stored blue, green, red.
// eight-colour renderer layout (786435 bytes): the table with every entry
// stored red, green, blue, then three unused bytes (written as zero).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/lut_builder/lut_table.h"
#include "common/formats/lut_layout.h"

namespace lut_builder {

enum class LutLayout { morva6, ulma };

inline constexpr std::size_t kInkCount = 6;
inline constexpr std::size_t kMorva6LutSize = common::lut::kSixInkFileSize;
inline constexpr std::size_t kUlmaLutSize = common::lut::kBandFileSize;

// Both return an empty vector when the table does not have kTableEntries entries.
std::vector<std::uint8_t> encode_morva6_lut(std::span<const Rgb8, kInkCount> inks, std::span<const Rgb8> table);
std::vector<std::uint8_t> encode_ulma_lut(std::span<const Rgb8> table);

// Replaces `path` by the bytes with the project's replace-by-rename writer
// (common/replace_file.h), so a failed run leaves an earlier file intact. On
// failure returns false with a reason in `error`.
bool write_file_replacing(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace lut_builder
