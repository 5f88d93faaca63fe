// Where photo2panel writes and what: each of -o, --preview and --save-fitted
// is a file or a folder by the same rules for one picture as for several,
// and a file's extension says what it holds.
#pragma once

#include <string>

#include "apps/photo2panel/options.h"
#include "apps/photo2panel/render.h"

namespace photo2panel {

// Which outputs are folders that take one file per picture, named after it.
struct OutputFolders {
    bool panel = false;
    bool preview = false;
    bool fitted = false;
};

// An output is a folder when it is one already or ends in "/", and with
// several pictures also when it has no extension; with several pictures a
// name with an extension is refused. The panel file's extension picks
// what is written when --format does not (.bmp, .pgm, .h; .bin wants
// --format); a preview is .png, a fitted picture .bmp or .ppm. Settles
// options.format. Empty when the names fit, otherwise the usage error,
// naming the file and what would be written.
std::string settle_outputs(Options& options, OutputFolders& folders);

// The files of one picture.
PictureFiles files_of(const Options& options, const std::string& picture, const OutputFolders& folders);

// Makes the output folders and the folders above the output files. False
// with `folder` and `error` set when one cannot be made.
bool make_output_folders(const Options& options, const OutputFolders& folders, std::string& folder, std::string& error);

}  // namespace photo2panel
