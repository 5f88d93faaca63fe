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
// the environment and standard error, and waits for it.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments);

// Standard output with the number of every "cost: <number> ms" line replaced
// by "#", after checking that the number is written as "%lf" writes it.
std::string withoutCosts(const std::string& output);

}  // namespace sample_test
