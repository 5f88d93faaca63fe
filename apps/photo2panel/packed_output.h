// The panel file as a packed buffer of the panel's codes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "apps/photo2panel/options.h"
#include "common/output_set.h"

namespace photo2panel {

// Adds to the outputs width x height palette indices in the packed format of `options`
// (through its index map) to `path`, whole or not at all. False with
// `error` set on failure.
bool add_packed_panel(common::OutputSet& outputs, const std::string& path, const Options& options,
                      std::span<const std::uint8_t> indices, int width, int height, std::string& error);

}  // namespace photo2panel
