// Where photo2panel's files go and where it finds its data.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace photo2panel {

// A data file or folder of the project (a LUT file, the sample render
// data): looked up under share/ of the installation beside the program's
// bin/ folder, then in the build tree's samples/. Empty when not found.
std::string find_data(const std::string& name);

// The file name of `path` without its folder and its last extension.
std::string stem(const std::string& path);

// A path inside `folder`.
std::string in_folder(const std::string& folder, const std::string& name);

}  // namespace photo2panel
