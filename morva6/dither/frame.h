// The error-diffusion frame shared by the three kernels: error rows with
// guard columns, the scan of one row in either direction, and the row
// rotation. The kernel (weights and share rounding), the scan direction and
// the pixel arithmetic (Cells) are template parameters, so the pixel loop
// holds no test of any of them.
//
// What one call computes, row by row (y = 0 .. height-1):
//   1. the row's input bytes are added into the current error row (done
//      column by column just ahead of the scan, which gives the same
//      entries);
//   2. the row is scanned left to right, or right to left for odd rows of a
//      serpentine scan; each pixel's value is its current-row entries read
//      as signed 16-bit numbers, it takes the nearest ink, and the error
//      (value - ink, per channel, wrapped to 16 bits) is spread by the
//      kernel onto pixels not yet scanned (kernel mirrored for right to
//      left; all additions wrap modulo 2^16);
//   3. the next row becomes the current one, the row after next the next
//      one, and a cleared row the last one.
// Shares aimed past the left or right edge land in guard columns and are
// never read; shares aimed below the last image row are dropped.
//
// How the scan keeps it cheap: the cells around the pixel live in registers
// (a window sliding along the row) rather than in memory. A cell enters the
// window when it comes within reach of the kernel's furthest cell ahead and
// is written back when it falls out behind. A row's cells are all entered and
// written back within its scan, so the last row starts as zeros in the
// window, is written completely, and needs no clearing; rotation only swaps
// row pointers. Addition modulo 2^16 is commutative, so collecting shares in
// registers gives the same entries as adding them into memory one by one.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "morva6/dither/isa.h"
#include "morva6/dither/kernels.h"
#include "morva6/dither/palette.h"
#include "morva6/dither/scalar.h"
#include "morva6/dither/vector.h"

namespace morva6::diffusion {
inline namespace MORVA6_DIFFUSION_ISA {

#if defined(MORVA6_HAVE_VECTOR_CELLS)
using FastCells = VectorCells;
#else
using FastCells = ScalarCells;
#endif

// Calls f(std::integral_constant<int, i>) for i = Begin .. End-1.
template <int Begin, int End, class F>
inline void static_for(F&& f) {
    if constexpr (Begin < End) {
        f(std::integral_constant<int, Begin>{});
        static_for<Begin + 1, End>(f);
    }
}

// Kernel::rows error rows of four 16-bit entries per column (the pixel's
// three channels and one the cells may use as scratch). Each row covers the
// image columns, the guard columns each side, and one more column each side
// that the window's read-ahead may touch at the end of a row.
template <class Kernel>
class ErrorRows {
  public:
    static constexpr int margin = Kernel::guard + 1;

    explicit ErrorRows(std::int32_t width)
        : row_length_((static_cast<std::size_t>(width) + 2 * margin) * 4), storage_(row_length_ * Kernel::rows) {
        for (int r = 0; r < Kernel::rows; ++r) row_[r] = storage_.data() + r * row_length_;
    }

    // Column x of every row; row 0 is the row being scanned.
    std::array<std::uint16_t*, Kernel::rows> columns(std::int32_t x) {
        std::array<std::uint16_t*, Kernel::rows> at;
        for (int r = 0; r < Kernel::rows; ++r) at[r] = row_[r] + (std::ptrdiff_t{x} + margin) * 4;
        return at;
    }

    // Next row becomes current, row after next becomes next; the old current
    // row returns as the last row, which the next scan writes without reading.
    void rotate() { std::rotate(row_.begin(), row_.begin() + 1, row_.end()); }

  private:
    std::size_t row_length_;
    std::vector<std::uint16_t> storage_;
    std::array<std::uint16_t*, Kernel::rows> row_;
};

// Scans one image row of `width` pixels in direction Step (+1 or -1),
// starting at column x0 (0 or width-1). `at` points at column x0 of every
// error row, `out` at the output byte of column x0. `pixels.bytes(x)` gives
// the row's pixel bytes of column x (byte c at bits 8c); they are added to a
// column of the current row when it enters the window, so the row's input is
// in place before its pixel is reached, as if added to the whole row first.
//
// `sync` lets rows of a left-to-right scan run at the same time, each
// trailing the one above (see wavefront.h). With Sync::active, the row is
// scanned in chunks of Sync::chunk pixels: before a chunk,
// sync.wait(n) returns once the row above has scanned at least n pixels
// (n beyond width: once it has finished and written its window back), which
// covers every cell of rows y and y + 1 the chunk loads; after a chunk,
// sync.publish(pixels done). Shares a row stores for column c are complete
// when it has scanned pixel c + G, and a chunk ending at pixel e - 1 loads
// columns up to e + G, hence the wait for e + 2G + 1 pixels.
//
// With Sync::keeps_errors, sync.keep_error(x, error) receives each pixel's
// error (for a pipeline that spreads the shares of the last kernel row on
// another thread).
struct NoSync {
    static constexpr bool active = false;
    static constexpr bool keeps_errors = false;
    static constexpr std::int32_t chunk = 0;
    void wait(std::int32_t) {}
    void publish(std::int32_t) {}
    template <class Cell>
    void keep_error(std::int32_t, const Cell&) {}
};

// A row's input of column x as a cell: its pixel bytes, or four 16-bit
// entries where the source has them ready (pixels.entries(x)).
template <class Cells, class RowPixels>
typename Cells::Cell input_cell(const RowPixels& pixels, std::int32_t x) {
    if constexpr (requires { pixels.entries(x); })
        return Cells::load(pixels.entries(x));
    else
        return Cells::from_bytes(pixels.bytes(x));
}

template <class Kernel, class Cells, int Step, class RowPixels, class Sync = NoSync>
void scan_row(const typename Cells::Nearest& nearest, std::array<std::uint16_t*, Kernel::rows> at, std::uint8_t* out,
              const RowPixels& pixels, std::int32_t x0, std::int32_t width, Sync&& sync = {}) {
    using Cell = typename Cells::Cell;
    constexpr int G = Kernel::guard;
    constexpr int below = Kernel::rows - 1;
    constexpr std::ptrdiff_t stride = Step * 4;  // entries per column moved

    // A row below enters the window with what it holds, except the last one,
    // which is all zeros at the start of every row.
    auto entering = [](auto r, const std::uint16_t* cell) {
        if constexpr (decltype(r)::value + 1 == Kernel::rows - 1)
            return Cells::zero();
        else
            return Cells::load(cell);
    };

    // ahead[o]: current-row column x + o*Step (o = 0..G); ahead[0] is the
    // value of the pixel being scanned.
    std::array<Cell, G + 1> ahead;
    // under[r][o + G]: column x + o*Step of row r + 1 (o = -G..G).
    std::array<std::array<Cell, 2 * G + 1>, below> under;

    // Cells the first chunk needs (the window's first loads included).
    constexpr std::int32_t reach = 2 * G + 1;
    if constexpr (std::decay_t<Sync>::active) sync.wait(std::min(width, std::decay_t<Sync>::chunk) + reach);

    static_for<0, G + 1>([&](auto o) {
        ahead[o] = Cells::load(at[0] + o * stride);
        if (o < width) ahead[o] = Cells::add(ahead[o], input_cell<Cells>(pixels, x0 + o * Step));
    });
    static_for<0, below>([&](auto r) {
        static_for<0, 2 * G + 1>([&](auto i) { under[r][i] = entering(r, at[r + 1] + (i - G) * stride); });
    });

    std::int32_t x = x0;
    // One pixel; the column entering the window is an image column (whose
    // pixel bytes are added) or, near the row's end, a guard column.
    auto pixel_step = [&](auto entering_image_column) {
        // Nearest ink, error, and the next pixel's value with its share.
        const auto done = Cells::template step<Kernel>(nearest, ahead[0], ahead[1]);
        *out = done.index;
        out += Step;
        if constexpr (std::decay_t<Sync>::keeps_errors) sync.keep_error(x, done.error);
        ahead[1] = done.next;
        const auto shares = Cells::template shares<Kernel>(done.error);

        static_for<2, G + 1>([&](auto o) {
            constexpr int weight = Kernel::weights[0][decltype(o)::value + 2];
            if constexpr (weight != 0) ahead[o] = Cells::add(ahead[o], shares[share_slot<Kernel>(weight)]);
        });
        static_for<0, below>([&](auto r) {
            static_for<0, 2 * G + 1>([&](auto i) {
                constexpr int weight = Kernel::weights[decltype(r)::value + 1][decltype(i)::value - G + 2];
                if constexpr (weight != 0) under[r][i] = Cells::add(under[r][i], shares[share_slot<Kernel>(weight)]);
            });
        });

        // The cell G columns behind has received its last share.
        static_for<0, below>([&](auto r) { Cells::store(at[r + 1] - G * stride, under[r][0]); });

        // Slide the window one column on.
        static_for<0, G>([&](auto o) { ahead[o] = ahead[o + 1]; });
        ahead[G] = Cells::load(at[0] + (G + 1) * stride);
        if constexpr (decltype(entering_image_column)::value)
            ahead[G] = Cells::add(ahead[G], input_cell<Cells>(pixels, x + (G + 1) * Step));
        static_for<0, below>([&](auto r) {
            static_for<0, 2 * G>([&](auto i) { under[r][i] = under[r][i + 1]; });
            under[r][2 * G] = entering(r, at[r + 1] + (G + 1) * stride);
        });
        for (auto& p : at) p += stride;
        x += Step;
    };
    const std::int32_t with_input = width > G + 1 ? width - (G + 1) : 0;
    if constexpr (!std::decay_t<Sync>::active) {
        // Unrolled, the window slides by renaming registers instead of moving them.
#pragma GCC unroll 4
        for (std::int32_t n = 0; n < with_input; ++n) pixel_step(std::true_type{});
        for (std::int32_t n = with_input; n < width; ++n) pixel_step(std::false_type{});
    } else {
        constexpr std::int32_t chunk = std::decay_t<Sync>::chunk;
        for (std::int32_t n = 0; n < width;) {
            const std::int32_t end = std::min(width, n + chunk);
            if (n > 0) sync.wait(end + reach);
            const std::int32_t input_end = std::min(end, with_input);
#pragma GCC unroll 4
            for (; n < input_end; ++n) pixel_step(std::true_type{});
            for (; n < end; ++n) pixel_step(std::false_type{});
            sync.publish(n);
        }
    }

    // Write back the cells still in the window (the current row's are not
    // needed: that row comes back as the cleared last row).
    static_for<0, below>([&](auto r) {
        static_for<0, 2 * G + 1>([&](auto i) { Cells::store(at[r + 1] + (i - G) * stride, under[r][i]); });
    });
}

// Called before and after each row of a scan: a pipeline waits there for a
// row's pixels and reports the rows done; sync(y) is scan_row's sync.
struct NoRowHooks {
    void before(std::int32_t) {}
    void after(std::int32_t) {}
    NoSync sync(std::int32_t) { return {}; }
};

// Dithers a width x height picture (both at least 1) into index_out, one ink
// index per pixel. source.row(y) gives the pixels of row y (see scan_row).
// Throws std::bad_alloc before writing anything if the error rows cannot be
// allocated.
template <class Kernel, class Cells, class Source, class Hooks = NoRowHooks>
void diffuse(const Source& source, const PixelOrderPalette& palette, std::uint8_t* index_out, std::int32_t width,
             std::int32_t height, bool serpentine, Hooks&& hooks = {}) {
    ErrorRows<Kernel> rows(width);
    const typename Cells::Nearest nearest(palette);
    for (std::int32_t y = 0; y < height; ++y) {
        hooks.before(y);
        const auto pixels = source.row(y);
        std::uint8_t* out_row = index_out + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        if (serpentine && (y & 1) != 0)
            scan_row<Kernel, Cells, -1>(nearest, rows.columns(width - 1), out_row + (width - 1), pixels, width - 1,
                                        width, hooks.sync(y));
        else
            scan_row<Kernel, Cells, +1>(nearest, rows.columns(0), out_row, pixels, 0, width, hooks.sync(y));
        rows.rotate();
        hooks.after(y);
    }
}

}  // namespace MORVA6_DIFFUSION_ISA
}  // namespace morva6::diffusion
