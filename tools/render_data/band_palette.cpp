#include <algorithm>
#include <cstdio>
#include <optional>

#include "tools/lut_builder/palette_text.h"

#include "tools/render_data/render_data.h"

namespace render_data {
namespace {

// The palette at 25 degrees: a dark black, a paper white far below 100, and
// muted colour inks.
constexpr std::array<Lab, kPaletteSize> kBestPalette{{
    {16.0, 1.5, -2.0},    // black
    {73.0, -1.0, 3.5},    // white
    {68.0, -4.0, 52.0},   // yellow
    {40.0, 36.0, 22.0},   // red
    {30.0, 6.0, -30.0},   // blue
    {44.0, -26.0, 10.0},  // green
    {55.0, 24.0, 42.0},   // orange
    {33.0, 18.0, -17.0},  // violet
}};

constexpr double kBestCelsius = 25.0;

}  // namespace

Palette palette_at(double celsius) {
    // 0 at 25 degrees; 1 at -10 (cold) or 60 (heat) and beyond.
    const double cold = std::clamp((kBestCelsius - celsius) / 35.0, 0.0, 1.0);
    const double heat = std::clamp((celsius - kBestCelsius) / 35.0, 0.0, 1.0);
    const double chroma = 1.0 - 0.25 * cold - 0.08 * heat;
    // Lightness contracts towards a middle grey: white darkens, black lightens.
    const double contrast = 1.0 - 0.12 * cold - 0.04 * heat;
    constexpr double kMiddle = 45.0;
    Palette palette;
    for (const Lab& best : kBestPalette) {
        palette.push_back({kMiddle + (best.l - kMiddle) * contrast, best.a * chroma, best.b * chroma});
    }
    return palette;
}

std::string palette_text(const Palette& palette) {
    std::string text;
    char line[80];
    for (const Lab& colour : palette) {
        std::snprintf(line, sizeof line, "%.2f %.2f %.2f\n", colour.l, colour.a, colour.b);
        text += line;
    }
    return text;
}

Palette as_written(const Palette& palette) {
    std::string error;
    std::optional<Palette> back = lut_builder::parse_lab_colours(palette_text(palette), palette.size(), error);
    return back ? std::move(*back) : palette;
}

}  // namespace render_data
