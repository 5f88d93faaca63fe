// Rearranges a rendered picture for a TFT driving scheme (HGD, gate swap,
// HSD). A library function, not an exported entry point.
#pragma once

#include <cstdint>

// Modes: 1 and 2 fold each pair of rows into one row of twice the width
// (pixels interleaved, upper row first in mode 1, lower row first in mode 2;
// an unpaired last row is dropped); 3 swaps rows 2k and 2k + 1 in place; 4
// and 5 unfold each row into a pair of rows of half the width (even columns
// in the upper row in mode 4, in the lower row in mode 5; an unpaired last
// column is dropped). Modes 1, 2, 4 and 5 write the new size through width
// and height; the result occupies the start of buffer.
//
// Returns 0; OVEX_ERR_UNKNOWN_METHOD (13) for a mode outside 1..5 (checked
// first); OVEX_ERR_BAD_SIZE (23) for a null pointer, a size below 1 or a
// picture whose width x height x 4 does not fit int32; OVEX_ERR_NO_MEMORY
// (24) when the work buffer cannot be allocated. On any failure neither the
// picture nor the sizes change.
std::int32_t Ovex_TFT_format_transfer(std::uint8_t* buffer, std::int32_t* width, std::int32_t* height,
                                      std::int32_t TFT_mode);
