// What the threads of one picture share: finished rows handed on, how far
// each row in flight has got, and waiting for it. Not built per instruction
// set (see isa.h).
#pragma once

#include <atomic>
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

// Spins briefly, then gives the processor away (other work may be waiting
// for it, on a machine with fewer cores than threads).
class Backoff {
public:
    void pause() {
        if (++spins_ < 64) {
#if defined(__x86_64__) || defined(__i386__)
            _mm_pause();
#endif
        } else {
            std::this_thread::yield();
        }
    }

private:
    int spins_ = 0;
};

// How far each row in flight has got. A slot holds (row + 1) << 32 | pixels
// scanned, kFinished pixels once the row is complete; a slot naming another
// row counts as no pixels scanned.
class RowProgress {
public:
    static constexpr std::uint32_t kFinished = 0xFFFFFFFF;

    explicit RowProgress(int slots) : count_(slots), slots_(std::make_unique<Slot[]>(static_cast<std::size_t>(slots))) {}

    void publish(std::int32_t row, std::uint32_t scanned) {
        slot(row).store((std::uint64_t(std::uint32_t(row) + 1) << 32) | scanned, std::memory_order_release);
    }

    // Returns once `row` has scanned at least `needed` pixels; returns what
    // it has scanned then.
    std::uint32_t wait(std::int32_t row, std::uint32_t needed) const {
        const std::uint64_t tag = std::uint64_t(std::uint32_t(row) + 1) << 32;
        Backoff backoff;
        for (;;) {
            const std::uint64_t value = slot(row).load(std::memory_order_acquire);
            if ((value & ~std::uint64_t{kFinished}) == tag && std::uint32_t(value) >= needed)
                return std::uint32_t(value);
            backoff.pause();
        }
    }

private:
    struct alignas(64) Slot {
        std::atomic<std::uint64_t> value{0};
    };
    std::atomic<std::uint64_t>& slot(std::int32_t row) const { return slots_[row % count_].value; }

    int count_;
    std::unique_ptr<Slot[]> slots_;
};

// scan_row's sync for one row of the wavefront: waits on the row above,
// remembering how far it was last seen, and publishes this row's progress.
class WavefrontSync {
public:
    static constexpr bool active = true;
    static constexpr std::int32_t chunk = 32;

    WavefrontSync(RowProgress& progress, std::int32_t row) : progress_(progress), row_(row) {}

    void wait(std::int32_t needed) {
        if (row_ == 0 || std::uint32_t(needed) <= seen_) return;
        seen_ = progress_.wait(row_ - 1, std::uint32_t(needed));
    }
    void publish(std::int32_t scanned) { progress_.publish(row_, std::uint32_t(scanned)); }

private:
    RowProgress& progress_;
    std::int32_t row_;
    std::uint32_t seen_ = 0;
};

}  // namespace morva6::diffusion
