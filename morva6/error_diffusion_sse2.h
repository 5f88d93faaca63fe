// Vector form of the pixel operations of the error-diffusion frame (SSE2,
// part of every x86-64 processor). It gives bit for bit the results of
// ScalarCells; the tests compare the two.
//
// A cell is one register of eight 16-bit lanes: lanes 0..2 hold the pixel's
// channels, lanes 3..7 stay zero. 16-bit lanes make every addition wrap
// modulo 2^16 as the error rows require.
#pragma once

#if defined(__SSE2__)
#define MORVA6_HAVE_SSE2_CELLS 1

#include <emmintrin.h>

#include <array>
#include <cstdint>

#include "morva6/error_diffusion_palette.h"

namespace morva6::diffusion {

struct Sse2Cells {
    // Wrapped so that cells can sit in std::array (a bare __m128i carries
    // attributes that template arguments drop).
    struct Cell {
        __m128i lanes;
    };

    static Cell zero() { return {_mm_setzero_si128()}; }

    static Cell load(const std::uint16_t* cell) {
        return {_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cell))};
    }

    static void store(std::uint16_t* cell, Cell value) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cell), value.lanes);
    }

    static Cell add(Cell a, Cell b) { return {_mm_add_epi16(a.lanes, b.lanes)}; }
    static Cell subtract(Cell a, Cell b) { return {_mm_sub_epi16(a.lanes, b.lanes)}; }

    // Shares of Kernel::share_weights. The divisions are exact multiply-and-
    // shift sequences, checked against the plain quotient for every 16-bit
    // error in the tests.
    template <class Kernel>
    static std::array<Cell, 4> shares(Cell error_cell) {
        constexpr auto w = Kernel::share_weights;
        const __m128i error = error_cell.lanes;
        std::array<Cell, 4> result;
        if constexpr (Kernel::divisor == 16) {
            // floor(w*e/16) = high half of e * (w << 12), a signed product.
            for (int slot = 0; slot < 4; ++slot)
                result[slot] = {_mm_mulhi_epi16(error, _mm_set1_epi16(static_cast<short>(w[slot] << 12)))};
        } else {
            // Truncating division: divide the magnitude, then restore the sign.
            const __m128i sign = _mm_srai_epi16(error, 15);
            const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(error, sign), sign);  // 0..32768
            __m128i quotient[4];
            if constexpr (Kernel::divisor == 48) {
                // floor(w*a/48) = floor(floor(w*a/16) / 3); the inner floor is
                // the high half of a * (w << 12), the outer one of u * 21846
                // (exact for u <= 14336).
                static_assert(w[0] <= 7 && w[1] <= 7 && w[2] <= 7 && w[3] <= 7);
                for (int slot = 0; slot < 4; ++slot) {
                    const __m128i sixteenths =
                        _mm_mulhi_epu16(magnitude, _mm_set1_epi16(static_cast<short>(w[slot] << 12)));
                    quotient[slot] = _mm_mulhi_epu16(sixteenths, _mm_set1_epi16(21846));
                }
            } else {
                static_assert(Kernel::divisor == 42, "unsupported share divisor");
                static_assert(w[0] == 8 && w[1] == 4 && w[2] == 2 && w[3] == 1);
                // floor(w*a/42) = floor(t / (7 * 8/w)) with t = floor(4a/3):
                // t = a + floor(a/3) (at most 43690), floor(a/3) = high half of
                // a * 43691 shifted right once, and floor(t/7) = high half of
                // t * 37450 shifted right twice (exact for t <= 43690); one
                // more bit of shift per halving of the weight.
                const __m128i third = _mm_srli_epi16(
                    _mm_mulhi_epu16(magnitude, _mm_set1_epi16(static_cast<short>(43691))), 1);
                const __m128i four_thirds = _mm_add_epi16(magnitude, third);
                const __m128i scaled = _mm_mulhi_epu16(four_thirds, _mm_set1_epi16(static_cast<short>(37450)));
                quotient[0] = _mm_srli_epi16(scaled, 2);
                quotient[1] = _mm_srli_epi16(scaled, 3);
                quotient[2] = _mm_srli_epi16(scaled, 4);
                quotient[3] = _mm_srli_epi16(scaled, 5);
            }
            for (int slot = 0; slot < 4; ++slot)
                result[slot] = {_mm_sub_epi16(_mm_xor_si128(quotient[slot], sign), sign)};
        }
        return result;
    }

    struct Choice {
        std::uint8_t index;
        Cell colour;
    };

    // Nearest ink without branches. With v the pixel and q an ink,
    // |q - v|^2 = q.q - 2 q.v + v.v holds modulo 2^32, so the wrapped 32-bit
    // distances of the plain rule come from 16-bit multiply-adds:
    //   d = (-2q0 v0 - 2q1 v1) + (-2q2 v2) + q.q + (v0^2 + v1^2) + v2^2.
    // The inks are held in two groups, A = {0, 2, 4} and B = {1, 3, 5}, one
    // ink per 32-bit lane. A tournament (0 vs 1, 2 vs 3, 4 vs 5, then 01 vs
    // 23, then 0123 vs 45) in which the higher-index side wins only when
    // strictly nearer gives the lowest index among the nearest. Each lane
    // carries its ink packed as bytes q0, q1, q2, index.
    class Nearest {
    public:
        explicit Nearest(const PixelOrderPalette& palette) {
            alignas(16) std::int16_t pair01[2][8] = {};
            alignas(16) std::int16_t single2[2][8] = {};
            alignas(16) std::int32_t squares[2][4] = {};
            alignas(16) std::int32_t packed[2][4] = {};
            for (int k = 0; k < kInks; ++k) {
                const int group = k & 1;
                const int lane = k >> 1;
                const auto& q = palette[k];
                pair01[group][2 * lane] = static_cast<std::int16_t>(-2 * q[0]);
                pair01[group][2 * lane + 1] = static_cast<std::int16_t>(-2 * q[1]);
                single2[group][2 * lane] = static_cast<std::int16_t>(-2 * q[2]);
                squares[group][lane] = q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
                packed[group][lane] = q[0] | q[1] << 8 | q[2] << 16 | k << 24;
            }
            for (int group = 0; group < 2; ++group) {
                pair01_[group] = _mm_load_si128(reinterpret_cast<const __m128i*>(pair01[group]));
                single2_[group] = _mm_load_si128(reinterpret_cast<const __m128i*>(single2[group]));
                squares_[group] = _mm_load_si128(reinterpret_cast<const __m128i*>(squares[group]));
                packed_[group] = _mm_load_si128(reinterpret_cast<const __m128i*>(packed[group]));
            }
        }

        Choice operator()(Cell cell) const {
            const __m128i value = cell.lanes;
            const __m128i v01 = _mm_shuffle_epi32(value, 0x00);  // v0 v1 in every lane
            const __m128i v2 = _mm_shuffle_epi32(value, 0x55);   // v2 0 in every lane
            const __m128i self = _mm_add_epi32(_mm_madd_epi16(v01, v01), _mm_madd_epi16(v2, v2));
            const __m128i dist_a = distances(0, v01, v2, self);
            const __m128i dist_b = distances(1, v01, v2, self);

            // 0 vs 1, 2 vs 3, 4 vs 5 (lanes 0, 1, 2).
            __m128i later = _mm_cmpgt_epi32(dist_a, dist_b);
            __m128i best = select(later, dist_b, dist_a);
            __m128i ink = select(later, packed_[1], packed_[0]);
            // Lane 0: 01 vs 23; lane 2 meets itself and keeps 45.
            __m128i rival = _mm_shuffle_epi32(best, _MM_SHUFFLE(3, 2, 1, 1));
            later = _mm_cmpgt_epi32(best, rival);
            best = select(later, rival, best);
            ink = select(later, _mm_shuffle_epi32(ink, _MM_SHUFFLE(3, 2, 1, 1)), ink);
            // Lane 0: 0123 vs 45.
            rival = _mm_shuffle_epi32(best, _MM_SHUFFLE(3, 2, 1, 2));
            later = _mm_cmpgt_epi32(best, rival);
            ink = select(later, _mm_shuffle_epi32(ink, _MM_SHUFFLE(3, 2, 1, 2)), ink);

            const auto bits = static_cast<std::uint32_t>(_mm_cvtsi128_si32(ink));
            const __m128i colour_bytes = _mm_and_si128(ink, _mm_cvtsi32_si128(0x00FFFFFF));
            return {static_cast<std::uint8_t>(bits >> 24), {_mm_unpacklo_epi8(colour_bytes, _mm_setzero_si128())}};
        }

    private:
        __m128i distances(int group, __m128i v01, __m128i v2, __m128i self) const {
            const __m128i cross = _mm_add_epi32(_mm_madd_epi16(v01, pair01_[group]),
                                                _mm_madd_epi16(v2, single2_[group]));
            return _mm_add_epi32(cross, _mm_add_epi32(squares_[group], self));
        }

        static __m128i select(__m128i mask, __m128i if_set, __m128i if_clear) {
            return _mm_or_si128(_mm_and_si128(mask, if_set), _mm_andnot_si128(mask, if_clear));
        }

        __m128i pair01_[2];
        __m128i single2_[2];
        __m128i squares_[2];
        __m128i packed_[2];
    };
};

}  // namespace morva6::diffusion

#endif
