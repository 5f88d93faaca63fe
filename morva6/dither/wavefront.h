// The engines on several threads, with the bytes of one thread.
//
// Left-to-right scans (the plain methods): a wavefront. Threads take rows in
// order from a shared counter; each row trails the row above far enough that
// every cell it reads has received all its shares from the rows above (see
// scan_row's sync). Entries add modulo 2^16, so the order in which a cell's
// shares arrive does not matter, only that they all have. The error rows
// are a ring: row y uses slots y, y + 1 (and y + 2) of it. Rows finish in
// order (each waits for the whole row above before its last chunk), so at
// most `threads` rows are unfinished, all within the last `threads` rows
// handed out; threads + Kernel::rows slots therefore never hand a slot to
// a new row while an unfinished row still uses it, and threads + 1
// progress slots never overwrite the progress a running row still reads.
//
// Serpentine scans: a right-to-left row starts where the row above ends, so
// rows cannot overlap. One thread runs the diffusion; the others look rows
// up through the colour table ahead of it, into a ring of mapped rows, and
// hand finished rows on (for the output encodings) behind it. Every task is
// claimed from a counter before it is done and nobody waits while holding a
// claim, so whichever threads start finish the picture; the diffusing thread
// does any look-up nobody has claimed yet.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "common/threads.h"
#include "morva6/dither/frame.h"
#include "morva6/dither/isa.h"
#include "morva6/dither/row_progress.h"

namespace morva6::diffusion {

inline namespace MORVA6_DIFFUSION_ISA {

// A ring of error rows laid out as ErrorRows', zero at the start.
template <class Kernel>
class ErrorRowRing {
public:
    static constexpr int margin = Kernel::guard + 1;

    ErrorRowRing(std::int32_t width, int slots)
        : slots_(slots),
          row_length_((static_cast<std::size_t>(width) + 2 * margin) * 4),
          storage_(row_length_ * static_cast<std::size_t>(slots)) {}

    // Column 0 of the error rows of image row y: its own, then the rows below.
    std::array<std::uint16_t*, Kernel::rows> columns(std::int32_t y) {
        std::array<std::uint16_t*, Kernel::rows> at;
        for (int r = 0; r < Kernel::rows; ++r)
            at[r] = storage_.data() + static_cast<std::size_t>((y + r) % slots_) * row_length_ + margin * 4;
        return at;
    }

private:
    int slots_;
    std::size_t row_length_;
    std::vector<std::uint16_t> storage_;
};

// Left to right on every row, on up to `threads` threads (at most one per
// row). Rows are reported to `done` as they finish. Throws std::bad_alloc
// before writing anything when the work memory cannot be had.
template <class Kernel, class Cells, class Source>
void diffuse_wavefront(const Source& source, const PixelOrderPalette& palette, std::uint8_t* index_out,
                       std::int32_t width, std::int32_t height, int threads, RowsDone done) {
    threads = std::clamp(threads, 1, height);
    ErrorRowRing<Kernel> rows(width, threads + Kernel::rows);
    RowProgress progress(threads + 1);
    const typename Cells::Nearest nearest(palette);
    std::atomic<std::int32_t> next_row{0};
    common::run_parts(threads, [&](int) {
        for (;;) {
            const std::int32_t y = next_row.fetch_add(1, std::memory_order_relaxed);
            if (y >= height) return;
            std::uint8_t* out_row = index_out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            scan_row<Kernel, Cells, +1>(nearest, rows.columns(y), out_row, source.row(y), 0, width,
                                        WavefrontSync(progress, y, width));
            progress.publish(y, RowProgress::kFinished);
            done(y, y + 1);
        }
    });
}

// Rows of the input picture looked up ahead of the diffusion into a ring of
// mapped rows (pixel bytes as Source gives them, four per column).
template <class Source>
class LookAheadRows {
public:
    static constexpr int kSlots = 16;

    LookAheadRows(const Source& source, std::int32_t width, std::int32_t height)
        : source_(source), width_(width), height_(height),
          storage_(static_cast<std::size_t>(width) * kSlots), ready_(std::make_unique<Watched[]>(kSlots)) {}

    struct Row {
        const std::uint32_t* bytes_of;
        std::uint32_t bytes(std::int32_t x) const { return bytes_of[x]; }
    };
    Row row(std::int32_t y) const { return {slot(y)}; }

    // Claims and looks up the next row if the diffusion has freed its slot;
    // false when there was none to do.
    bool look_up_one(std::int32_t rows_diffused) {
        std::int32_t y = next_.load(std::memory_order_relaxed);
        if (y >= height_ || y >= rows_diffused + kSlots) return false;
        if (!next_.compare_exchange_strong(y, y + 1, std::memory_order_relaxed)) return true;  // try again
        look_up(y);
        return true;
    }

    // Before the diffusion reads row y (every row before it diffused).
    void wait_for(std::int32_t y) {
        std::int32_t expected = y;
        if (next_.compare_exchange_strong(expected, y + 1, std::memory_order_relaxed)) {
            look_up(y);
            return;
        }
        ready_[y % kSlots].wait_until([y](std::uint64_t row) { return row == std::uint64_t(y) + 1; });
    }

private:
    std::uint32_t* slot(std::int32_t y) const {
        return const_cast<std::uint32_t*>(storage_.data()) + static_cast<std::size_t>(y % kSlots) * width_;
    }

    void look_up(std::int32_t y) {
        const auto pixels = source_.row(y);
        std::uint32_t* out = slot(y);
        for (std::int32_t x = 0; x < width_; ++x) out[x] = pixels.bytes(x);
        ready_[y % kSlots].store(std::uint64_t(y) + 1);  // row + 1 looked up into the slot
    }

    const Source& source_;
    std::int32_t width_, height_;
    std::vector<std::uint32_t> storage_;
    std::unique_ptr<Watched[]> ready_;
    std::atomic<std::int32_t> next_{0};
};

// Serpentine (or any) scan with the diffusion on one thread and up to
// threads - 1 helpers looking rows up ahead of it and reporting finished
// rows to `done` behind it. Throws std::bad_alloc before writing anything
// when the work memory cannot be had.
template <class Kernel, class Cells, class Source>
void diffuse_pipeline(const Source& source, const PixelOrderPalette& palette, std::uint8_t* index_out,
                      std::int32_t width, std::int32_t height, bool serpentine, int threads, RowsDone done) {
    constexpr std::int32_t kWakeRows = LookAheadRows<Source>::kSlots / 4;
    LookAheadRows<Source> mapped(source, width, height);
    Watched rows_diffused;
    std::atomic<std::int32_t> rows_reported{0};
    // Reports the diffused rows nobody has claimed yet; false if there were none.
    auto report = [&](std::int32_t diffused) {
        std::int32_t first = rows_reported.load(std::memory_order_relaxed);
        if (first >= diffused) return false;
        if (rows_reported.compare_exchange_strong(first, diffused, std::memory_order_relaxed)) done(first, diffused);
        return true;
    };
    struct Hooks {
        LookAheadRows<Source>& mapped;
        Watched& rows_diffused;
        void before(std::int32_t y) { mapped.wait_for(y); }
        void after(std::int32_t y) { rows_diffused.store(std::uint64_t(y) + 1); }
    };
    common::run_parts(std::clamp(threads, 1, 3), [&](int part) {
        if (part == 0) {
            diffuse<Kernel, Cells>(mapped, palette, index_out, width, height, serpentine,
                                   Hooks{mapped, rows_diffused});
            return;
        }
        for (;;) {
            const auto diffused = static_cast<std::int32_t>(rows_diffused.load());
            if (mapped.look_up_one(diffused) || report(diffused)) continue;
            if (diffused == height) return;
            // Nothing to do until the diffusion finishes more rows; a few at
            // a time, not to wake for every row.
            const auto wake = std::uint64_t(std::min(diffused + kWakeRows, height));
            rows_diffused.wait_until([wake](std::uint64_t now) { return now >= wake; });
        }
    });
    // Rows no helper reported (or all of them, when no helper started).
    report(height);
}

}  // namespace MORVA6_DIFFUSION_ISA
}  // namespace morva6::diffusion
