// The 64 x 64 x 64 colour table: one entry per cell of four input levels per
// channel, red the slowest axis and blue the fastest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/formats/lut_layout.h"
#include "tools/lut_builder/colour_math.h"
#include "tools/lut_builder/ink_mixing.h"

namespace lut_builder {

inline constexpr int kGridLevels = common::lut::kCells;
inline constexpr std::size_t kTableEntries = common::lut::kEntries;

struct Rgb8 {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(Rgb8, Rgb8) = default;
};

// Entry of an input colour: the top six bits of each channel.
constexpr std::size_t table_index(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return common::lut::index(r, g, b);
}

// The input level that stands for cell i (0..63): i's six bits followed by its
// top two bits. It always lies inside the cell (4i .. 4i + 3) and runs from 0
// for the first cell to 255 for the last, so pure black, pure white and the
// fully saturated primaries are mapped exactly.
constexpr std::uint8_t cell_level(int cell) { return static_cast<std::uint8_t>((cell << 2) | (cell >> 4)); }

// Round to nearest (halves up) and clamp to 0..255.
Rgb8 to_bytes(Rgb colour);
Rgb to_rgb(Rgb8 colour);

// A table whose entry for every cell is entry(the cell's input colour).
template <typename Entry>
std::vector<Rgb8> fill_table(Entry entry) {
    std::vector<Rgb8> table(kTableEntries);
    for (int r = 0; r < kGridLevels; ++r)
        for (int g = 0; g < kGridLevels; ++g)
            for (int b = 0; b < kGridLevels; ++b) {
                const Rgb8 input{cell_level(r), cell_level(g), cell_level(b)};
                table[table_index(input.r, input.g, input.b)] = entry(input);
            }
    return table;
}

// Choices of how a table is built, shared by both table kinds.
struct TableChoices {
    bool flat_inks = true;  // areas of one ink stay solid (flat_inks.h)
    // Six-ink tables: 0 for every method (entries lifted by kRoundingLift),
    // or the dither number 1..6 whose own rounding the entries make up for
    // (kernel_rounding.h).
    int method = 0;
    // Eight-colour tables: entries made up for what the renderer's diffusion
    // (its truncated shares, gamut clip and search) really lays down,
    // measured by running it; otherwise (--fixed-lift) lifted by kLightnessLift.
    bool measured_renderer = true;
    // With measured_renderer, AimMix::on (--aim-mix): measure the whole
    // cube's edges too, as the eye mixes the dots, and search each entry
    // whose patch shows the colour (palette_table.cpp). It raises the chroma
    // of palettes with a colour beyond the sRGB cube and costs the others
    // (README): `automatic` takes it for those palettes alone.
    enum class AimMix { automatic, on, off };
    AimMix aim_mix = AimMix::automatic;
    bool tone_map = false;  // the picture's lightness range onto the inks' (tone_mapped)
};

// Every entry is its cell's input colour.
std::vector<Rgb8> identity_table();

// The six-ink engines spread their errors in whole units and drop the rest:
// Floyd-Steinberg floors its four shares (about 2 units per channel and pixel
// lost downwards), the three-row kernels truncate and spread nothing of small
// errors. What they lay down is therefore a little darker than their target;
// entries are lifted by kRoundingLift units (measured: 3 balances the plain
// and the three-row kernels), fading to nothing within kRoundingTaper units
// of an ink.
inline constexpr double kRoundingLift = 3.0;
inline constexpr double kRoundingTaper = 12.0;

// The six-ink table: every entry is the sRGB average of the ink proportions
// that mix the cell's colour (or its closest reachable colour) in linear
// light, lifted as above.
std::vector<Rgb8> mixing_table(const InkMixer& mixer, const TableChoices& choices = {});

}  // namespace lut_builder
