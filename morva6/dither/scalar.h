// Plain per-channel arithmetic for the error-diffusion frame: the reference
// form of every pixel operation, and the one used where no vector unit is
// available. An error-row cell is four 16-bit entries: the pixel's three
// bytes in their own order, then a fourth entry that stays zero.
#pragma once

#include <array>
#include <cstdint>

#include "morva6/dither/kernels.h"
#include "morva6/dither/palette.h"

namespace morva6::diffusion {

struct ScalarCells {
    struct Cell {
        std::array<std::uint16_t, 4> entry{};
    };

    static Cell zero() { return {}; }

    static Cell load(const std::uint16_t* cell) { return {{cell[0], cell[1], cell[2], cell[3]}}; }

    static void store(std::uint16_t* cell, const Cell& value) {
        for (int c = 0; c < 4; ++c) cell[c] = value.entry[c];
    }

    // Three bytes (byte c at bits 8c) as a cell.
    static Cell from_bytes(std::uint32_t bytes) {
        return {{static_cast<std::uint16_t>(bytes & 0xFF), static_cast<std::uint16_t>(bytes >> 8 & 0xFF),
                 static_cast<std::uint16_t>(bytes >> 16 & 0xFF), 0}};
    }

    // Entries add and subtract modulo 2^16.
    static Cell add(const Cell& a, const Cell& b) {
        Cell sum;
        for (int c = 0; c < 4; ++c) sum.entry[c] = static_cast<std::uint16_t>(a.entry[c] + b.entry[c]);
        return sum;
    }

    static Cell subtract(const Cell& a, const Cell& b) {
        Cell difference;
        for (int c = 0; c < 4; ++c) difference.entry[c] = static_cast<std::uint16_t>(a.entry[c] - b.entry[c]);
        return difference;
    }

    // One share per entry of Kernel::share_weights, each channel's error read
    // as a signed 16-bit number.
    template <class Kernel>
    static std::array<Cell, 4> shares(const Cell& error) {
        std::array<Cell, 4> result{};
        for (std::size_t slot = 0; slot < result.size(); ++slot)
            for (int c = 0; c < 3; ++c)
                result[slot].entry[c] = static_cast<std::uint16_t>(
                    Kernel::share(Kernel::share_weights[slot], static_cast<std::int16_t>(error.entry[c])));
        return result;
    }

    struct Choice {
        std::uint8_t index;
        Cell colour;  // the chosen ink in pixel byte order
    };

    // A pixel done: its ink, its error, and the next pixel's value (the
    // entries `ahead` plus the kernel's share of the error for that pixel).
    struct Step {
        std::uint8_t index;
        Cell error;
        Cell next;
    };

    // Nearest ink by squared distance: differences, squares and sums wrap in
    // 32 bits and compare as signed numbers; a tie keeps the lower index.
    class Nearest {
      public:
        explicit Nearest(const PixelOrderPalette& palette) : palette_(palette) {}

        Choice operator()(const Cell& value) const {
            int best = 0;
            std::int32_t best_distance = distance(0, value);
            for (int k = 1; k < kInks; ++k) {
                const std::int32_t d = distance(k, value);
                if (d < best_distance) {
                    best = k;
                    best_distance = d;
                }
            }
            Choice choice{static_cast<std::uint8_t>(best), {}};
            for (int c = 0; c < 3; ++c) choice.colour.entry[c] = palette_[best][c];
            return choice;
        }

      private:
        std::int32_t distance(int k, const Cell& value) const {
            std::uint32_t sum = 0;
            for (int c = 0; c < 3; ++c) {
                const auto v = static_cast<std::int16_t>(value.entry[c]);
                const std::uint32_t diff = std::uint32_t{palette_[k][c]} - static_cast<std::uint32_t>(v);
                sum += diff * diff;
            }
            return static_cast<std::int32_t>(sum);
        }

        PixelOrderPalette palette_;
    };

    // The pixel step of the frame: nearest ink, error, and the next pixel's
    // value with the kernel's share for it added.
    template <class Kernel>
    static Step step(const Nearest& nearest, const Cell& value, const Cell& ahead) {
        const Choice choice = nearest(value);
        const Cell error = subtract(value, choice.colour);
        const int slot = share_slot<Kernel>(Kernel::weights[0][3]);
        return {choice.index, error, add(ahead, shares<Kernel>(error)[slot])};
    }
};

}  // namespace morva6::diffusion
