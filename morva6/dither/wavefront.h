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
// rows cannot overlap. One thread runs the diffusion; the others prepare
// rows ahead of it (look-up, and the shares of the kernel's last row: see
// PreparedRows), and hand finished rows on (for the output encodings)
// behind it. Every task is
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
#include <type_traits>
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
    Patience patience;
    common::run_parts(threads, [&](int part) {
        for (;;) {
            // Out of patience, the calling thread finishes alone.
            if (part != 0 && patience.lost()) return;
            const std::int32_t y = next_row.fetch_add(1, std::memory_order_relaxed);
            if (y >= height) return;
            std::uint8_t* out_row = index_out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            scan_row<Kernel, Cells, +1>(nearest, rows.columns(y), out_row, source.row(y), 0, width,
                                        WavefrontSync(progress, patience, y, width));
            progress.publish(y, RowProgress::kFinished);
            done(y, y + 1);
        }
    });
}

// The first two rows of a three-row kernel: what the diffusing thread
// spreads when the helpers spread the last row's shares.
template <class Kernel>
struct LeadingRows {
    static constexpr int guard = Kernel::guard;
    static constexpr int rows = 2;
    static constexpr KernelWeights weights = {{Kernel::weights[0], Kernel::weights[1], {}}};
    static constexpr auto share_weights = Kernel::share_weights;
    static constexpr int divisor = Kernel::divisor;
    static constexpr std::int32_t share(int weight, std::int16_t error) { return Kernel::share(weight, error); }
};

// Rows prepared for the diffusing thread, into a small ring: each column's
// input as four 16-bit entries (looked up through the colour table) and, for
// a three-row kernel, the shares row y receives from row y - 2 added in.
// Those shares are spread here from the errors the diffusion keeps
// (error_row) once row y - 2 is diffused; the diffusion itself spreads only
// the kernel's first two rows, a shorter chain. The last kernel row is the
// same in both directions, so the scan direction of row y - 2 does not
// matter; entries add modulo 2^16, so neither does the order.
template <class Kernel, class Cells, class Source>
class PreparedRows {
  public:
    static constexpr bool kSplit = Kernel::rows == 3;
    static constexpr int kSlots = 4;
    static constexpr int G = Kernel::guard;
    using Diffused = std::conditional_t<kSplit, LeadingRows<Kernel>, Kernel>;
    static_assert(Kernel::weights[2][0] == Kernel::weights[2][4] && Kernel::weights[2][1] == Kernel::weights[2][3],
                  "the last kernel row must read the same in both directions");

    PreparedRows(const Source& source, std::int32_t width, std::int32_t height)
        : source_(source),
          width_(width),
          height_(height),
          error_stride_((static_cast<std::size_t>(width) + 2 * G) * 4),
          cells_(static_cast<std::size_t>(width) * 4 * kSlots),
          errors_(kSplit ? error_stride_ * 3 : 0),
          ready_(std::make_unique<Watched[]>(kSlots)) {}

    struct Row {
        const std::uint16_t* cells;
        const std::uint16_t* entries(std::int32_t x) const { return cells + 4 * static_cast<std::ptrdiff_t>(x); }
    };
    Row row(std::int32_t y) const { return {slot(y)}; }

    // Column 0 of the errors of row y (guard columns each side stay zero).
    std::uint16_t* error_row(std::int32_t y) {
        return errors_.data() + static_cast<std::size_t>(y % 3) * error_stride_ + G * 4;
    }

    // Claims and prepares the next row if `diffused` rows allow it; false
    // when there was none to do.
    bool prepare_one(std::int32_t diffused) {
        std::int32_t y = next_.load(std::memory_order_relaxed);
        // Its slot must be free, and for a split kernel row y - 2 diffused.
        // Out of patience, the diffusing thread prepares the rest itself.
        if (y >= height_ || y >= diffused + (kSplit ? 2 : kSlots) || patience_.lost()) return false;
        if (!next_.compare_exchange_strong(y, y + 1, std::memory_order_relaxed)) return true;  // try again
        prepare(y);
        return true;
    }

    // Before the diffusion reads row y (every row before it diffused).
    void wait_for(std::int32_t y) {
        std::int32_t expected = y;
        if (next_.compare_exchange_strong(expected, y + 1, std::memory_order_relaxed)) {
            prepare(y);
            return;
        }
        patience_.timed([&] {
            return ready_[y % kSlots].wait_until([y](std::uint64_t row) { return row == std::uint64_t(y) + 1; });
        });
    }

  private:
    using Cell = typename Cells::Cell;

    std::uint16_t* slot(std::int32_t y) const {
        return const_cast<std::uint16_t*>(cells_.data()) + static_cast<std::size_t>(y % kSlots) * width_ * 4;
    }

    void prepare(std::int32_t y) {
        const auto pixels = source_.row(y);
        std::uint16_t* out = slot(y);
        if (!kSplit || y < 2) {
            for (std::int32_t x = 0; x < width_; ++x) Cells::store(out + 4 * x, Cells::from_bytes(pixels.bytes(x)));
        } else {
            // shares[i]: the shares of the error of column x - G + i.
            const std::uint16_t* errors = error_row(y - 2);
            std::array<std::array<Cell, 4>, 2 * G + 1> shares;
            for (int i = 1; i <= 2 * G; ++i)
                shares[i] = Cells::template shares<Kernel>(Cells::load(errors + 4 * (i - 1 - G)));
            for (std::int32_t x = 0; x < width_; ++x) {
                for (int i = 0; i < 2 * G; ++i) shares[i] = shares[i + 1];
                shares[2 * G] = Cells::template shares<Kernel>(Cells::load(errors + 4 * (x + G)));
                Cell sum = Cells::from_bytes(pixels.bytes(x));
                static_for<0, 2 * G + 1>([&](auto i) {
                    constexpr int weight = Kernel::weights[2][G - decltype(i)::value + 2];
                    if constexpr (weight != 0) sum = Cells::add(sum, shares[i][share_slot<Kernel>(weight)]);
                });
                Cells::store(out + 4 * x, sum);
            }
        }
        ready_[y % kSlots].store(std::uint64_t(y) + 1);  // row + 1 prepared in the slot
    }

    const Source& source_;
    std::int32_t width_, height_;
    std::size_t error_stride_;
    std::vector<std::uint16_t> cells_;
    std::vector<std::uint16_t> errors_;
    std::unique_ptr<Watched[]> ready_;
    std::atomic<std::int32_t> next_{0};
    Patience patience_;
};

// scan_row's sync for the diffusing thread of a split kernel: keeps the
// errors of its row.
template <class Cells>
struct ErrorKeeper {
    static constexpr bool active = false;
    static constexpr bool keeps_errors = true;
    static constexpr std::int32_t chunk = 0;
    std::uint16_t* errors;
    void wait(std::int32_t) {}
    void publish(std::int32_t) {}
    void keep_error(std::int32_t x, const typename Cells::Cell& error) { Cells::store(errors + 4 * x, error); }
};

// Serpentine (or any) scan with the diffusion on one thread and up to
// threads - 1 helpers preparing rows ahead of it (see PreparedRows) and
// reporting finished rows to `done` behind it. Throws std::bad_alloc before
// writing anything when the work memory cannot be had.
template <class Kernel, class Cells, class Source>
void diffuse_pipeline(const Source& source, const PixelOrderPalette& palette, std::uint8_t* index_out,
                      std::int32_t width, std::int32_t height, bool serpentine, int threads, RowsDone done) {
    using Prepared = PreparedRows<Kernel, Cells, Source>;
    Prepared prepared(source, width, height);
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
        Prepared& prepared;
        Watched& rows_diffused;
        void before(std::int32_t y) { prepared.wait_for(y); }
        void after(std::int32_t y) { rows_diffused.store(std::uint64_t(y) + 1); }
        auto sync(std::int32_t y) {
            if constexpr (Prepared::kSplit)
                return ErrorKeeper<Cells>{prepared.error_row(y)};
            else
                return NoSync{};
        }
    };
    common::run_parts(std::clamp(threads, 1, 3), [&](int part) {
        if (part == 0) {
            diffuse<typename Prepared::Diffused, Cells>(prepared, palette, index_out, width, height, serpentine,
                                                        Hooks{prepared, rows_diffused});
            return;
        }
        for (;;) {
            const auto diffused = static_cast<std::int32_t>(rows_diffused.load());
            if (prepared.prepare_one(diffused) || report(diffused)) continue;
            if (diffused == height) return;
            // Nothing to do until the diffusion finishes another row.
            rows_diffused.wait_until([diffused](std::uint64_t now) { return now != std::uint64_t(diffused); });
        }
    });
    // Rows no helper reported (or all of them, when no helper started).
    report(height);
}

}  // namespace MORVA6_DIFFUSION_ISA
}  // namespace morva6::diffusion
