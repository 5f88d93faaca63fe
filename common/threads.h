// How many threads a picture may use, and running work on them.
//
// The budget: the cores this process may run on (its affinity mask), at
// most kMaxDefaultThreads; the environment variable MORVA6_THREADS (a whole
// number, 1 or more) replaces that default. A library setter or a program
// option may override both; they hand their count to the engines, which take
// it as an upper bound.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
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

// A count chosen for the render calls the calling thread makes while it
// lives (a caller's per-call choice: the Python module's threads=); it
// takes precedence over the libraries' setters and the default. Scopes
// nest; 0 or below chooses nothing.
class ThreadsForThisCaller {
  public:
    explicit ThreadsForThisCaller(int count);
    ~ThreadsForThisCaller();
    ThreadsForThisCaller(const ThreadsForThisCaller&) = delete;
    ThreadsForThisCaller& operator=(const ThreadsForThisCaller&) = delete;

    // The count of the innermost scope on this thread, 0 when there is none.
    static int current();

  private:
    int outer_;
};

// A library's own thread count, set through its exported setter: a count of
// 1 or more (capped at kMaxThreads), or 0 for the default budget.
class ChosenThreads {
  public:
    void set(int count) { count_.store(count > 0 ? std::min(count, kMaxThreads) : 0, std::memory_order_relaxed); }
    // The count a render call uses now: the calling thread's choice, else the
    // set count, else default_threads().
    int current() const {
        if (const int callers = ThreadsForThisCaller::current(); callers > 0) return callers;
        const int chosen = count_.load(std::memory_order_relaxed);
        return chosen > 0 ? chosen : default_threads();
    }

  private:
    std::atomic<int> count_{0};
};

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

// Hands [0, count) out in ranges of `grain` items to up to `threads` threads
// (no more than there are ranges): each calls per_thread() once for a
// callable of its own, then calls that with (first, end) for every range it
// claims. One thread does it all on the calling thread.
template <class PerThread>
void share_ranges(std::size_t count, std::size_t grain, int threads, PerThread&& per_thread) {
    grain = std::max<std::size_t>(grain, 1);
    const std::size_t ranges = std::max<std::size_t>(count / grain + (count % grain != 0), 1);
    const auto parts = static_cast<int>(std::min(static_cast<std::size_t>(std::max(threads, 1)), ranges));
    std::atomic<std::size_t> next{0};
    run_parts(parts, [&](int) {
        auto work = per_thread();
        for (;;) {
            const std::size_t first = next.fetch_add(grain, std::memory_order_relaxed);
            if (first >= count) return;
            work(first, std::min(first + grain, count));
        }
    });
}

}  // namespace common
