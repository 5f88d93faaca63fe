// Render-data directories for the eight-colour renderer: the waveform file
// with the temperature bands, and per band a palette data file and the colour
// LUT built for that palette. Without measured palettes the palettes are
// invented sample data of a plausible panel.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/lut_table.h"

namespace render_data {

using lut_builder::Lab;

inline constexpr std::size_t kPaletteSize = 8;
using Palette = std::vector<Lab>;  // kPaletteSize colours

// The renderer's table holds 30 boundaries (29 bands); the file is long
// enough for all of them (bytes 48 to 77).
inline constexpr std::size_t kMaxBoundaries = 30;
inline constexpr std::size_t kWaveformBytes = 80;

// Byte 38: number of bands less one; from byte 48: the boundaries as signed
// bytes. Every other byte is zero: the panel's own waveform data are not
// read by the renderer and are not made up here. Needs 2 to 30 boundaries
// within -128..127.
std::vector<std::uint8_t> waveform_bytes(std::span<const int> boundaries);

// The eight palette colours at a panel temperature, in palette index order:
// black, white, yellow, red, blue, green, orange, violet. They are strongest
// at 25 degrees; in the cold the inks lose chroma and contrast (white
// darkens, black lightens), in the heat a little of both.
Palette palette_at(double celsius);

// The palette data file: one colour per line, "L a b" with two decimals.
std::string palette_text(const Palette& palette);

// The palette as its data file gives it back (two decimals): band tables are
// built from this, so that a table rebuilt from the written file is the same
// to the byte.
Palette as_written(const Palette& palette);

// The band's colour table for its palette (the LUT builder's palette table),
// in the renderer's LUT layout (786435 bytes). Empty when the palette spans
// no volume.
std::vector<std::uint8_t> band_lut_bytes(const Palette& palette, const lut_builder::TableChoices& choices);

// Names inside a lot directory such as ULMA_SAMPLE01_TC_03: the lot name
// (ULMA_SAMPLE01_TC), the version (03) and the band file base (ULMA_SAMPLE01).
struct LotNames {
    std::string lot_name;
    std::string version;
    std::string base;
};
// Needs a directory name of at least 6 characters.
LotNames lot_names(const std::string& lot_directory);

// The band files are named by common::render_data::band_file_name.

}  // namespace render_data
