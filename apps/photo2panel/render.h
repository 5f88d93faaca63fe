// Rendering a fitted picture with either renderer and writing its files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ulma/ulma.h>

#include "apps/photo2panel/options.h"
#include "apps/photo2panel/picture.h"

namespace photo2panel {

// The files one picture gives; empty names are not written.
struct PictureFiles {
    std::string panel;
    std::string preview;
    std::string fitted;
};

// Loads the LUT file into `block` and installs it in the six-ink library;
// the block must outlive every render. False with `error` set.
bool install_lut(const std::string& path, std::vector<std::uint8_t>& block, std::string& error);

// Writes the fitted picture as BMP (".bmp") or binary PPM (any other name),
// the files the renderers read.
bool save_fitted(const RgbPicture& picture, const std::string& path, std::string& error);

// Six inks, as Morva6_render renders the fitted picture saved as BMP.
bool render_six_inks(const RgbPicture& picture, const Options& options, const PictureFiles& files,
                     std::string& error);

// An opened render-data folder, closed when the holder goes.
struct RenderDataCloser {
    void operator()(UlmaRenderData* data) const { ulma_close(data); }
};
using RenderData = std::unique_ptr<UlmaRenderData, RenderDataCloser>;

// Opens the render-data folder once for the run.
bool open_render_data(const std::string& folder, RenderData& data, std::string& error);

// Eight colours, as ulmarender renders the fitted picture saved as PPM.
// What the renderer warns about (such as a band without colour LUT) is added
// to `warnings`, one line each.
bool render_eight_colours(const UlmaRenderData& data, const RgbPicture& picture, const Options& options,
                          const PictureFiles& files, std::string& error, std::string& warnings);

}  // namespace photo2panel
