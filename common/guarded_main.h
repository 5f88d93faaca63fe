// The body of a program's main, run so that no exception escapes it: what
// escapes is one line on standard error and exit status 1, after every
// object on the way has been destroyed (so no temporary file is left).
//
//   int main(int argc, char** argv) {
//       return common::run_guarded("photo2panel", [&] { return run(argc, argv); });
//   }
#pragma once

#include <cstdio>
#include <exception>
#include <new>

namespace common {

template <typename Body>
int run_guarded(const char* program, Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: not enough memory\n", program);
    } catch (const std::exception& problem) {
        std::fprintf(stderr, "%s: %s\n", program, problem.what());
    } catch (...) {
        std::fprintf(stderr, "%s: unexpected failure\n", program);
    }
    return 1;
}

}  // namespace common
