// The eight-colour renderer as a library: a picture in memory, rendered with
// an opened render-data folder, a temperature and the settings, the palette
// indices, panel codes and proof colours out. Nothing is printed and nothing
// is shared between calls, so several pictures may be rendered at once. The
// program's file-to-file pipeline uses the same entry point, so both give
// the same bytes.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ulmarender/engine/render_data.h"
#include "ulmarender/engine/settings.h"

namespace ulma {

enum class RenderProblem {
    none,
    bad_size,         // width or height below 1, width x height x 4 beyond 32 bits, or rgb of another size
    palette_missing,  // the band's palette data file cannot be read: nothing was rendered
};

// What one rendering gives: all three planes, width x height, top row first,
// and what happened on the way.
struct Rendering {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> indices;      // palette index 0..7 per pixel
    std::vector<unsigned char> panel_codes;  // the PGM's pixel bytes, one per pixel
    std::vector<unsigned char> proof_rgb;    // proof colours R,G,B per pixel; empty unless settings.proof
    std::string lut_path;                    // the band's colour LUT file
    std::string palette_path;                // the band's palette data file
    std::string palette_problem;             // why it is no palette (empty when it cannot be opened)
    bool lut_missing = false;                // the LUT could not be read: the picture went to the diffusion as it was
    bool adjusted = false;                   // the saturation/lightness adjustment ran
    bool noise_added = false;                // noise was added
};

// Renders an R,G,B picture (top row first, width*3 bytes a row, no padding)
// with the band of `temp` of `data`.
RenderProblem render_picture(const RenderData& data, const Settings& settings, std::span<const unsigned char> rgb,
                             int width, int height, int temp, Rendering& out);

// What a problem or a warning means, in one sentence (no line end).
std::string describe(RenderProblem problem, const Rendering& rendering);
std::string lut_warning(const Rendering& rendering);

}  // namespace ulma
