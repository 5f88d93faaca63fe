#include "common/threads.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace common {

int usable_cores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    return std::max(1, CPU_COUNT(&set));
}

int default_threads() {
    if (const char* text = std::getenv("MORVA6_THREADS"); text != nullptr && *text != '\0') {
        char* end = nullptr;
        errno = 0;
        const long count = std::strtol(text, &end, 10);
        if (errno == 0 && end != text && *end == '\0' && count >= 1)
            return static_cast<int>(std::min<long>(count, kMaxThreads));
    }
    return std::min(usable_cores(), kMaxDefaultThreads);
}

namespace {

thread_local int callers_threads = 0;

}  // namespace

ThreadsForThisCaller::ThreadsForThisCaller(int count) : outer_(callers_threads) {
    callers_threads = count > 0 ? std::min(count, kMaxThreads) : 0;
}

ThreadsForThisCaller::~ThreadsForThisCaller() { callers_threads = outer_; }

int ThreadsForThisCaller::current() { return callers_threads; }

}  // namespace common
