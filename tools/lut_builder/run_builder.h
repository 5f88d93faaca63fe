// The whole program behind main(): parse, build the table, write the file.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace lut_builder {

inline constexpr int kExitWritten = 0;
inline constexpr int kExitWriteFailed = 1;
inline constexpr int kExitBadUsage = 2;

// Arguments after the program name. Messages go to `out` (results, help) and
// `err` (problems). Returns the process exit status.
int run_builder(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace lut_builder
