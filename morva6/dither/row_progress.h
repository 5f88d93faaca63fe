// What the threads of one six-ink picture share beyond common/row_progress.h:
// finished rows handed on, and scan_row's sync for a row of the wavefront.
// Not built per instruction set (see isa.h).
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/row_progress.h"

namespace morva6::diffusion {

using common::Patience;
using common::RowProgress;
using common::Watched;

// Rows of a picture done: on_rows(context, first, end) for rows first ..
// end - 1, once for every row; calls may come from several threads at once.
struct RowsDone {
    void (*on_rows)(void* context, std::int32_t first, std::int32_t end) = nullptr;
    void* context = nullptr;
    void operator()(std::int32_t first, std::int32_t end) const {
        if (on_rows != nullptr && first < end) on_rows(context, first, end);
    }
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
