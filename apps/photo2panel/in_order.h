// Work on several threads, results in input order.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace photo2panel {

// Runs work(i) for i = 0 .. count-1 on up to `jobs` threads and calls
// report(i, result) on the calling thread, in order of i, each as soon as
// item i and every item before it are done.
template <typename Result, typename Work, typename Report>
void for_each_in_order(std::size_t count, unsigned jobs, Work work, Report report) {
    std::vector<std::optional<Result>> results(count);
    std::mutex mutex;
    std::condition_variable done;
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) {
            Result result = work(i);
            const std::lock_guard lock(mutex);
            results[i] = std::move(result);
            done.notify_all();
        }
    };
    std::vector<std::jthread> threads;
    const std::size_t helpers = std::min<std::size_t>(std::max(jobs, 1u), count);
    for (std::size_t t = 0; t < helpers; ++t) threads.emplace_back(worker);
    for (std::size_t i = 0; i < count; ++i) {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return results[i].has_value(); });
        Result result = std::move(*results[i]);
        results[i].reset();
        lock.unlock();
        report(i, result);
    }
}

}  // namespace photo2panel
