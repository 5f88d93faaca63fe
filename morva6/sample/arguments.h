// Command line of the sample driver.
#pragma once

#include <cstdint>

// Scans the words of the command line in pairs (option, value) into the run
// settings, then checks that the three paths are given and every number is
// in range. Returns 0 when the run can go ahead, -1 after printing one
// message (or the usage or version text). Paths are kept as pointers into
// argv, which must outlive the run.
std::int32_t processArguments(int argc, const char* const argv[]);
