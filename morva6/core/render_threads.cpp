#include "morva6/core/render_threads.h"

#include <algorithm>
#include <atomic>

#include <morva6/morva6.h>

#include "common/threads.h"

namespace {

// 0: not set, use the default budget.
std::atomic<int> chosen_threads{0};

}  // namespace

namespace morva6 {

int render_threads() {
    if (const int callers = common::ThreadsForThisCaller::current(); callers > 0) return callers;
    const int chosen = chosen_threads.load(std::memory_order_relaxed);
    return chosen > 0 ? chosen : common::default_threads();
}

}  // namespace morva6

extern "C" void morva6_set_threads(int32_t count) {
    chosen_threads.store(count > 0 ? std::min<int32_t>(count, common::kMaxThreads) : 0, std::memory_order_relaxed);
}

extern "C" int32_t morva6_threads(void) { return morva6::render_threads(); }
