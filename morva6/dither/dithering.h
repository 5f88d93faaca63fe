// Error-diffusion engines: reduce a colour-table-mapped picture to one ink
// index (0..5) per pixel against the render context's palette.
//
// Each takes the mapped picture (width x height pixels of three bytes, blue,
// green, red when is_bgr is 1, red, green, blue when 0), fills index_out
// with width x height indices, and scans odd rows right to left when
// serpentine is non-zero. A width or height below 1 writes nothing. An
// is_bgr other than 0 or 1 reads no pixel: every index is the ink nearest to
// black. If the engine's work rows cannot be allocated, index_out is left
// untouched.
#pragma once

#include <cstdint>

#include "morva6/core/render_context.h"
#include "morva6/dither/row_progress.h"

void Ovex_dithering_Floyd_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                             std::int32_t width, std::int32_t height, std::uint8_t serpentine);
void Ovex_dithering_Jarvis_Judice_Ninkle_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                                            std::int32_t width, std::int32_t height, std::uint8_t serpentine);
void Ovex_dithering_Stucki_QW(const std::uint8_t* mapped, std::uint32_t is_bgr, std::uint8_t* index_out,
                              std::int32_t width, std::int32_t height, std::uint8_t serpentine);

namespace morva6 {

// The render entry points' path: dithers `input` (channel order `bgr`) onto
// the ink colours `inks` as the engine of dither code `method` (0..5) would
// dither it after a look-up through `table`, looking each row up only when the dithering reaches it,
// so no mapped copy of the picture is made. Results are those of the look-up
// followed by the engine, at any thread count. Runs on up to `threads`
// threads and hands each finished row (index_out complete up to it) to
// `done`, possibly from several threads at once; with one thread, every row
// at the end in one call. Once the dithering has started, the row of the
// input picture handed to `done` is never read again. width and height
// must be at least 1. Throws std::bad_alloc, with index_out untouched and
// `done` not called, when work memory cannot be had.
void dither_through_table(std::int32_t method, const InkColours& inks, const std::uint8_t* input, bool bgr,
                          const std::uint8_t* table, std::uint8_t* index_out, std::int32_t width, std::int32_t height,
                          int threads, diffusion::RowsDone done);

}  // namespace morva6
