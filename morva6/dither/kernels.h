// The three error-diffusion kernels: where a pixel's error goes and how each
// share is rounded. Everything else (palette search, rows, scan order) is the
// common frame in frame.h.
#pragma once

#include <array>
#include <cstdint>

namespace morva6::diffusion {

// weights[row][offset + 2]: row 0 is the row being scanned, 1 the next row,
// 2 the row after next; offset is the column distance from the pixel counted
// in scan direction (positive = not yet scanned). A right-to-left row uses the
// same table, which mirrors the kernel.
using KernelWeights = std::array<std::array<int, 5>, 3>;

struct FloydSteinberg {
    static constexpr int guard = 1;                              // columns of margin each side of a row
    static constexpr int rows = 2;                               // error rows kept: current and next
    static constexpr KernelWeights weights = {{{0, 0, 0, 7, 0},  //
                                               {0, 3, 5, 1, 0},
                                               {0, 0, 0, 0, 0}}};
    // Distinct weights, largest first; the fast cells compute one share each.
    static constexpr std::array<int, 4> share_weights = {7, 5, 3, 1};
    static constexpr int divisor = 16;
    // floor(w*e/16): arithmetic shift of the product, rounding toward minus
    // infinity (an error of -1 pushes -1 onto every cell).
    static constexpr std::int32_t share(int weight, std::int16_t error) { return (weight * std::int32_t{error}) >> 4; }
};

struct JarvisJudiceNinke {
    static constexpr int guard = 2;
    static constexpr int rows = 3;
    static constexpr KernelWeights weights = {{{0, 0, 0, 7, 5},  //
                                               {3, 5, 7, 5, 3},
                                               {1, 3, 5, 3, 1}}};
    static constexpr std::array<int, 4> share_weights = {7, 5, 3, 1};
    static constexpr int divisor = 48;
    // trunc(w*e/48): rounding toward zero, so -e spreads exactly -(shares of e).
    static constexpr std::int32_t share(int weight, std::int16_t error) { return weight * std::int32_t{error} / 48; }
};

struct Stucki {
    static constexpr int guard = 2;
    static constexpr int rows = 3;
    static constexpr KernelWeights weights = {{{0, 0, 0, 8, 4},  //
                                               {2, 4, 8, 4, 2},
                                               {1, 2, 4, 2, 1}}};
    static constexpr std::array<int, 4> share_weights = {8, 4, 2, 1};
    static constexpr int divisor = 42;
    // trunc(w*e/42), toward zero as for Jarvis-Judice-Ninke.
    static constexpr std::int32_t share(int weight, std::int16_t error) { return weight * std::int32_t{error} / 42; }
};

// Every kernel, in dither-code order: code 2k scans with kernel k left to
// right on every row, code 2k + 1 serpentine. This list drives the dispatch,
// the method bound of the entry points and the command line's check; a new
// kernel is added here (its struct above) and to the tests.
template <class... Kernel>
struct KernelList {
    static constexpr int size = sizeof...(Kernel);
};
using Kernels = KernelList<FloydSteinberg, JarvisJudiceNinke, Stucki>;
inline constexpr int kMethodCount = 2 * Kernels::size;

// Position of `weight` in Kernel::share_weights (weight must be listed).
template <class Kernel>
constexpr int share_slot(int weight) {
    for (int slot = 0; slot < static_cast<int>(Kernel::share_weights.size()); ++slot)
        if (Kernel::share_weights[slot] == weight) return slot;
    return -1;
}

}  // namespace morva6::diffusion
