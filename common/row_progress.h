// What the threads of one picture share: how far each row in flight has
// got, waiting for it, and noticing when a thread is not given a processor.
// Both diffusion engines run their wavefronts on these.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace common {

// A number threads wait on: waiters spin briefly, then sleep until it
// changes, so a machine with fewer free cores than threads is not kept busy
// by waiting. A store wakes sleepers only when there are any (the store and
// the sleepers' count are sequentially consistent, so either the store sees
// a sleeper or the sleeper sees the stored value).
class Watched {
  public:
    void store(std::uint64_t value) {
        value_.store(value, std::memory_order_seq_cst);
        if (sleepers_.load(std::memory_order_seq_cst) != 0) value_.notify_all();
    }
    std::uint64_t load() const { return value_.load(std::memory_order_acquire); }

    // Returns the first value seen for which done(value) holds.
    template <class Done>
    std::uint64_t wait_until(Done&& done) {
        for (int spins = 0;; ++spins) {
            std::uint64_t value = value_.load(std::memory_order_acquire);
            if (done(value)) return value;
            if (spins < kSpins) {
#if defined(__x86_64__) || defined(__i386__)
                _mm_pause();
#endif
                continue;
            }
            sleepers_.fetch_add(1, std::memory_order_seq_cst);
            value = value_.load(std::memory_order_seq_cst);
            if (!done(value)) value_.wait(value, std::memory_order_acquire);
            sleepers_.fetch_sub(1, std::memory_order_relaxed);
        }
    }

  private:
    static constexpr int kSpins = 200;
    alignas(64) std::atomic<std::uint64_t> value_{0};
    std::atomic<std::uint32_t> sleepers_{0};
};

// Whether the threads of a picture go on sharing it. A wait longer than
// kPatience means some thread was not given a processor (more threads than
// free cores): from then on one thread does the rest, as fast as one thread
// does it, rather than every thread waiting its turn for a processor.
// Waits of 2 to 8 ms happen now and then on a machine with a core for each
// thread (interrupts, a virtual machine's host taking a core back); taken as
// a lost processor, one of them left most of a picture to one thread (the
// eight-colour run on two threads: 679 +- 112 ms with 2 ms, 582 +- 28 ms
// with 20 ms). With more threads than cores the waiters sleep, so the longer
// patience costs those runs nothing measurable.
class Patience {
  public:
    static constexpr std::chrono::microseconds kPatience{20000};

    bool lost() const { return lost_.load(std::memory_order_relaxed); }

    template <class Wait>
    auto timed(Wait&& wait) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = wait();
        if (std::chrono::steady_clock::now() - start > kPatience) lost_.store(true, std::memory_order_relaxed);
        return result;
    }

  private:
    std::atomic<bool> lost_{false};
};

// How far each row in flight has got. A slot holds (row + 1) << 32 | pixels
// scanned, kFinished pixels once the row is complete; a slot naming another
// row counts as no pixels scanned.
class RowProgress {
  public:
    static constexpr std::uint32_t kFinished = 0xFFFFFFFF;

    explicit RowProgress(int slots)
        : count_(slots), slots_(std::make_unique<Watched[]>(static_cast<std::size_t>(slots))) {}

    void publish(std::int32_t row, std::uint32_t scanned) {
        slot(row).store((std::uint64_t(std::uint32_t(row) + 1) << 32) | scanned);
    }

    // Returns once `row` has scanned at least `needed` pixels; returns what
    // it has scanned then.
    std::uint32_t wait(std::int32_t row, std::uint32_t needed) const {
        const std::uint64_t tag = std::uint64_t(std::uint32_t(row) + 1) << 32;
        return std::uint32_t(slot(row).wait_until([&](std::uint64_t value) {
            return (value & ~std::uint64_t{kFinished}) == tag && std::uint32_t(value) >= needed;
        }));
    }

  private:
    Watched& slot(std::int32_t row) const { return slots_[row % count_]; }

    int count_;
    std::unique_ptr<Watched[]> slots_;
};

}  // namespace common
