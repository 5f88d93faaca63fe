// Error-diffusion engines: reduce a colour-table-mapped picture to one ink
// index (0..5) per pixel against the render context's palette.
#pragma once

#include <cstdint>

void Ovex_dithering_Floyd_QW(const std::uint8_t* mapped, std::uint32_t is_bgr,
                             std::uint8_t* index_out, std::int32_t width, std::int32_t height,
                             std::uint8_t serpentine);
void Ovex_dithering_Jarvis_Judice_Ninkle_QW(const std::uint8_t* mapped, std::uint32_t is_bgr,
                                            std::uint8_t* index_out, std::int32_t width,
                                            std::int32_t height, std::uint8_t serpentine);
void Ovex_dithering_Stucki_QW(const std::uint8_t* mapped, std::uint32_t is_bgr,
                              std::uint8_t* index_out, std::int32_t width, std::int32_t height,
                              std::uint8_t serpentine);
