// Runs a built program and collects what it prints on standard output.
#pragma once

#include <string>
#include <vector>

namespace sample_test {

struct ProgramRun {
    int exitStatus;      // -1 when the program did not exit normally
    std::string output;  // standard output, whole
};

// Starts `program` with `arguments` (without the program name), inheriting
// the environment and standard error, and waits for it. With a
// `fileSizeLimit` of 0 or more the program may not write files longer than
// that many bytes: a longer write fails (EFBIG) instead of succeeding.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      long fileSizeLimit = -1);

// Standard output with the number of every "cost: <number> ms" line replaced
// by "#", after checking that the number is written as "%lf" writes it.
std::string withoutCosts(const std::string& output);

}  // namespace sample_test
