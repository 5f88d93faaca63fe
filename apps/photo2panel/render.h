// Rendering a fitted picture with either renderer and writing its files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ulma/ulma.h>

#include "apps/photo2panel/options.h"
#include "common/output_set.h"
#include "apps/photo2panel/picture.h"

namespace photo2panel {

// The files one picture gives; empty names are not written.
struct PictureFiles {
    std::string panel;
    std::string preview;
    std::string fitted;
};

// The installed LUT file for dither method `dither` (1..6): the table made
// for its kernel when it is there, else the general v2 table; empty when
// neither is found.
std::string installed_lut(int dither);

// Loads the LUT file into `block` and installs it in the six-ink library;
// the block must outlive every render. False with `error` set.
bool install_lut(const std::string& path, std::vector<std::uint8_t>& block, std::string& error);

// Adds the fitted picture as BMP (".bmp") or binary PPM (any other name),
// the files the renderers read, to the picture's outputs.
bool save_fitted(const RgbPicture& picture, const std::string& path, common::OutputSet& outputs, std::string& error);

// Six inks, as Morva6_render renders the fitted picture saved as BMP: the
// panel file and the preview are added to the picture's outputs.
bool render_six_inks(const RgbPicture& picture, const Options& options, const PictureFiles& files,
                     common::OutputSet& outputs, std::string& error);

// An opened render-data folder, closed when the holder goes.
struct RenderDataCloser {
    void operator()(UlmaRenderData* data) const { ulma_close(data); }
};
using RenderData = std::unique_ptr<UlmaRenderData, RenderDataCloser>;

// Opens the render-data folder once for the run.
bool open_render_data(const std::string& folder, RenderData& data, std::string& error);

// Eight colours, as ulmarender renders the fitted picture saved as PPM: the
// panel file and the preview are added to the picture's outputs. What the
// renderer warns about (such as a band without colour LUT) is added to
// `warnings`, one line each.
bool render_eight_colours(const UlmaRenderData& data, const RgbPicture& picture, const Options& options,
                          const PictureFiles& files, common::OutputSet& outputs, std::string& error,
                          std::string& warnings);

}  // namespace photo2panel
