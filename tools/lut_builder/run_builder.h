// The whole program behind main(): parse, build the table, write the file.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lut_builder/builder_options.h"

namespace lut_builder {

inline constexpr int kExitWritten = 0;
inline constexpr int kExitWriteFailed = 1;
inline constexpr int kExitBadUsage = 2;

// The bytes of the LUT file the options describe (options.output is not
// used). False with a reason in `error` when the inks are unusable.
bool build_lut_bytes(const BuilderOptions& options, std::vector<std::uint8_t>& bytes, std::string& error);

// Arguments after the program name. Messages go to `out` (results, help) and
// `err` (problems). Returns the process exit status.
int run_builder(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace lut_builder
