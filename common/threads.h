// How many threads a picture may use, and running work on them.
//
// The budget: the cores this process may run on (its affinity mask), at
// most kMaxDefaultThreads; the environment variable MORVA6_THREADS (a whole
// number, 1 or more) replaces that default. A library setter or a program
// option may override both; they hand their count to the engines, which take
// it as an upper bound.
#pragma once

#include <algorithm>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

namespace common {

inline constexpr int kMaxDefaultThreads = 8;
// Counts above this are taken as this many (a typing slip, not a plan).
inline constexpr int kMaxThreads = 256;

// The cores in this process's affinity mask (1 when it cannot be read).
int usable_cores();

// MORVA6_THREADS if it holds a count of 1 or more (capped at kMaxThreads),
// else usable_cores() capped at kMaxDefaultThreads. Read on every call.
int default_threads();

// Threads for each of `jobs` pictures rendered at once out of a budget of
// `total` (at least one each).
inline int threads_per_job(int total, int jobs) { return std::max(1, total / std::max(1, jobs)); }

// Runs work(0) .. work(count - 1), work(0) on the calling thread and the
// others on threads of their own, and returns when all have returned. When
// a thread cannot be started, its share is not run: callers hand out their
// work through shared counters, so whichever parts do run finish it all.
// Returns how many parts ran. `work` must not throw.
template <class Work>
int run_parts(int count, Work&& work) {
    std::vector<std::jthread> helpers;
    int started = 1;
    try {
        helpers.reserve(count > 1 ? static_cast<std::size_t>(count - 1) : 0);
        for (int part = 1; part < count; ++part) {
            helpers.emplace_back([&work, part] { work(part); });
            ++started;
        }
    } catch (const std::exception&) {
        // Fewer helpers: the parts already running and this one share the work.
    }
    work(0);
    return started;  // the jthreads join here
}

}  // namespace common
