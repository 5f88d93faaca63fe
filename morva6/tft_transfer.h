// Rearranges a rendered picture for a TFT driving scheme (HGD, gate swap,
// HSD). A library function, not an exported entry point.
#pragma once

#include <cstdint>

// Modes 1..5; returns 0, or 13 for any other mode (nothing changed). Modes
// 1, 2, 4 and 5 write the new size through width and height.
std::int32_t Ovex_TFT_format_transfer(std::uint8_t* buffer, std::int32_t* width,
                                      std::int32_t* height, std::int32_t TFT_mode);
