// What the threads of one picture share: finished rows handed on, how far
// each row in flight has got, and waiting for it. Not built per instruction
// set (see isa.h).
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

namespace morva6::diffusion {

// Rows of a picture done: on_rows(context, first, end) for rows first ..
// end - 1, once for every row; calls may come from several threads at once.
struct RowsDone {
    void (*on_rows)(void* context, std::int32_t first, std::int32_t end) = nullptr;
    void* context = nullptr;
    void operator()(std::int32_t first, std::int32_t end) const {
        if (on_rows != nullptr && first < end) on_rows(context, first, end);
    }
};

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
class Patience {
  public:
    static constexpr std::chrono::microseconds kPatience{2000};

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

// scan_row's sync for one row of the wavefront: waits on the row above,
// remembering how far it was last seen, and publishes this row's progress.
class WavefrontSync {
  public:
    static constexpr bool active = true;
    static constexpr bool keeps_errors = false;
    static constexpr std::int32_t chunk = 64;

    WavefrontSync(RowProgress& progress, Patience& patience, std::int32_t row, std::int32_t width)
        : progress_(progress), patience_(patience), row_(row), width_(width) {}

    // Having to wait, waits for kSlack pixels more than needed (up to the
    // row's end), so that two rows running at the same speed do not meet
    // again at the next chunk.
    void wait(std::int32_t needed) {
        if (row_ == 0 || std::uint32_t(needed) <= seen_) return;
        const std::int32_t target = needed <= width_ ? std::min(needed + kSlack, width_) : needed;
        seen_ = patience_.timed([&] { return progress_.wait(row_ - 1, std::uint32_t(target)); });
    }
    void publish(std::int32_t scanned) { progress_.publish(row_, std::uint32_t(scanned)); }
    template <class Cell>
    void keep_error(std::int32_t, const Cell&) {}

  private:
    static constexpr std::int32_t kSlack = 512;
    RowProgress& progress_;
    Patience& patience_;
    std::int32_t row_, width_;
    std::uint32_t seen_ = 0;
};

}  // namespace morva6::diffusion
