// Vector form of the pixel operations of the error-diffusion frame: SSE2,
// part of every x86-64 processor, with a few SSSE3/SSE4.1 instructions in
// the build for processors that have them (see isa.h). It
// gives bit for bit the results of ScalarCells; the tests compare them.
//
// A cell is one register of eight 16-bit lanes: lanes 0..2 hold the pixel's
// channels. 16-bit lanes make every addition wrap modulo 2^16 as the error
// rows require. Lane 3 may carry scratch (the search keeps the ink index
// there); nothing reads it as part of a pixel. Lanes 4..7 are never stored.
#pragma once

#include "morva6/dither/isa.h"

#if defined(__SSE2__)
#define MORVA6_HAVE_VECTOR_CELLS 1

#include <emmintrin.h>
#include <smmintrin.h>

#include <array>
#include <cstdint>

#include "morva6/dither/kernels.h"
#include "morva6/dither/palette.h"

namespace morva6::diffusion {
inline namespace MORVA6_DIFFUSION_ISA {

struct VectorCells {
    // Wrapped so that cells can sit in std::array (a bare __m128i carries
    // attributes that template arguments drop).
    struct Cell {
        __m128i lanes;
    };

    static Cell zero() { return {_mm_setzero_si128()}; }

    static Cell load(const std::uint16_t* cell) { return {_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cell))}; }

    static void store(std::uint16_t* cell, Cell value) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cell), value.lanes);
    }

    // Three bytes (byte c at bits 8c) as a cell.
    static Cell from_bytes(std::uint32_t bytes) {
        return {_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bytes)), _mm_setzero_si128())};
    }

    static Cell add(Cell a, Cell b) { return {_mm_add_epi16(a.lanes, b.lanes)}; }
    static Cell subtract(Cell a, Cell b) { return {_mm_sub_epi16(a.lanes, b.lanes)}; }

    // share(w, e) of the kernel in every lane. The divisions are exact
    // multiply-and-shift sequences, checked against the plain quotient for
    // every 16-bit error in the tests.
    template <class Kernel, int Weight>
    static __m128i share(__m128i error) {
        if constexpr (Kernel::divisor == 16) {
            // floor(w*e/16) = high half of e * (w << 12), a signed product.
            static_assert(Weight <= 7);
            return _mm_mulhi_epi16(error, _mm_set1_epi16(static_cast<short>(Weight << 12)));
        } else {
            // Truncating division: divide the magnitude (0..32768, read as
            // unsigned), then give the quotient the error's sign.
#if MORVA6_DIFFUSION_SSE41
            const __m128i magnitude = _mm_abs_epi16(error);
#else
            const __m128i sign = _mm_srai_epi16(error, 15);
            const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(error, sign), sign);
#endif
            __m128i quotient;
            if constexpr (Kernel::divisor == 48) {
                // With s = floor(a/6) = high half of a * 43691 shifted right
                // twice (exact for every a below 2^16):
                //   floor(7a/48) = floor((a + a/6) / 8) = (a + s) >> 3
                //   floor(5a/48) = floor((a - a/6) / 8) = (a - ceil(a/6)) >> 3
                //   floor(3a/48) = a >> 4
                //   floor(a/48)  = floor(s / 8)
                // (a + a/6 and a - a/6 are an integer plus one fraction below
                // 1, so flooring or raising that fraction first leaves the
                // outer floor unchanged).
                static_assert(Weight == 7 || Weight == 5 || Weight == 3 || Weight == 1);
                const __m128i sixth_scaled = _mm_mulhi_epu16(magnitude, _mm_set1_epi16(static_cast<short>(43691)));
                if constexpr (Weight == 7) {
                    quotient = _mm_srli_epi16(_mm_add_epi16(magnitude, _mm_srli_epi16(sixth_scaled, 2)), 3);
                } else if constexpr (Weight == 5) {
                    const __m128i sixth_up = _mm_srli_epi16(_mm_mulhi_epu16(_mm_add_epi16(magnitude, _mm_set1_epi16(5)),
                                                                            _mm_set1_epi16(static_cast<short>(43691))),
                                                            2);
                    quotient = _mm_srli_epi16(_mm_sub_epi16(magnitude, sixth_up), 3);
                } else if constexpr (Weight == 3) {
                    quotient = _mm_srli_epi16(magnitude, 4);
                } else {
                    quotient = _mm_srli_epi16(sixth_scaled, 5);
                }
            } else {
                static_assert(Kernel::divisor == 42, "unsupported share divisor");
                static_assert(Weight == 8 || Weight == 4 || Weight == 2 || Weight == 1);
                // floor(8a/42) = floor(4a/21) = floor(a * 199729 / 2^20) (exact
                // for a <= 32768), and 199729 = 3 * 2^16 + 3121, so with
                // h = high half of a * 3121:
                //   floor(4a/21) = floor((3a + h) / 16)
                //                = 3 * (a >> 4) + ((3 * (a & 15) + h) >> 4),
                // kept within 16 bits. Halving the weight halves the quotient:
                // floor(w*a/42) = floor(4a/21) >> log2(8/w).
                constexpr int halvings = Weight == 8 ? 0 : Weight == 4 ? 1 : Weight == 2 ? 2 : 3;
                auto times3 = [](__m128i x) { return _mm_add_epi16(_mm_slli_epi16(x, 1), x); };
                const __m128i high = _mm_mulhi_epu16(magnitude, _mm_set1_epi16(3121));
                const __m128i sixteenths = times3(_mm_srli_epi16(magnitude, 4));
                const __m128i rest = _mm_add_epi16(times3(_mm_and_si128(magnitude, _mm_set1_epi16(15))), high);
                const __m128i eighth_share = _mm_add_epi16(sixteenths, _mm_srli_epi16(rest, 4));
                quotient = halvings == 0 ? eighth_share : _mm_srli_epi16(eighth_share, halvings);
            }
#if MORVA6_DIFFUSION_SSE41
            return _mm_sign_epi16(quotient, error);  // error 0 has quotient 0
#else
            return _mm_sub_epi16(_mm_xor_si128(quotient, sign), sign);
#endif
        }
    }

    // One share per entry of Kernel::share_weights.
    template <class Kernel>
    static std::array<Cell, 4> shares(Cell error) {
        constexpr auto w = Kernel::share_weights;
        return {{{share<Kernel, w[0]>(error.lanes)},
                 {share<Kernel, w[1]>(error.lanes)},
                 {share<Kernel, w[2]>(error.lanes)},
                 {share<Kernel, w[3]>(error.lanes)}}};
    }

    struct Choice {
        std::uint8_t index;
        Cell colour;
    };

    // A pixel done: its ink, its error, and the next pixel's value (the
    // entries `ahead` plus the kernel's share of the error for that pixel).
    struct Step {
        std::uint8_t index;
        Cell error;
        Cell next;
    };

    // Nearest ink without branches. With v the pixel and q an ink,
    // |q - v|^2 = q.q - 2 q.v + v.v holds modulo 2^32, so the wrapped 32-bit
    // distances of the plain rule come from 16-bit multiply-adds:
    //   d = (-2q0 v0 - 2q1 v1) + (-2q2 v2) + q.q + (v0^2 + v1^2) + v2^2.
    // The inks are held in two groups, A = {0, 2, 4} and B = {1, 3, 5}, one
    // ink per 32-bit lane. A tournament (0 vs 1, 2 vs 3, 4 vs 5, then 01 vs
    // 23, then 0123 vs 45) in which the higher-index side wins only when
    // strictly nearer gives the lowest index among the nearest; each lane
    // carries payloads of its ink through the tournament (its colour, its
    // error or the next pixel's value, and its index).
    //
    // Entry 3 of a cell is not part of any result: the search ignores it.
    class Nearest {
      public:
        explicit Nearest(const PixelOrderPalette& palette) {
            alignas(16) std::int16_t pair01[2][8] = {};
            alignas(16) std::int16_t single2[2][8] = {};
            alignas(16) std::int16_t colour01[2][8] = {};
            alignas(16) std::int16_t colour2[2][8] = {};
            alignas(16) std::int32_t squares[2][4] = {};
            alignas(16) std::int32_t packed[2][4] = {};
            alignas(16) std::int32_t index_high[2][4] = {};
            for (int k = 0; k < kInks; ++k) {
                const int group = k & 1;
                const int lane = k >> 1;
                const auto& q = palette[k];
                pair01[group][2 * lane] = static_cast<std::int16_t>(-2 * q[0]);
                pair01[group][2 * lane + 1] = static_cast<std::int16_t>(-2 * q[1]);
                single2[group][2 * lane] = static_cast<std::int16_t>(-2 * q[2]);
                colour01[group][2 * lane] = q[0];
                colour01[group][2 * lane + 1] = q[1];
                colour2[group][2 * lane] = q[2];
                squares[group][lane] = q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
                packed[group][lane] = q[0] | q[1] << 8 | q[2] << 16 | k << 24;
                index_high[group][lane] = k << 16;
                for (int c = 0; c < 3; ++c) colours_[k][c] = q[c];
            }
            for (int group = 0; group < 2; ++group) {
                pair01_[group] = load128(pair01[group]);
                single2_[group] = load128(single2[group]);
                colour01_[group] = load128(colour01[group]);
                colour2_[group] = load128(colour2[group]);
                squares_[group] = load128(squares[group]);
                packed_[group] = load128(packed[group]);
                index_high_[group] = load128(index_high[group]);
            }
        }

        Choice operator()(Cell cell) const {
            const Inputs in = inputs(cell.lanes);
            const __m128i ink =
                tournament<1>(distances(0, in), distances(1, in), {{packed_[0]}}, {{packed_[1]}}).lanes[0];
            const auto bits = static_cast<std::uint32_t>(_mm_cvtsi128_si32(ink));
            const __m128i colour_bytes = _mm_and_si128(ink, _mm_cvtsi32_si128(0x00FFFFFF));
            return {static_cast<std::uint8_t>(bits >> 24), {_mm_unpacklo_epi8(colour_bytes, _mm_setzero_si128())}};
        }

        // The pixel step: nearest ink, its error, and the next pixel's value
        // `ahead` plus share(e) of the kernel's weight for it. The next value
        // is worked out for all six inks while the search runs and travels
        // through the tournament, so no share has to be computed between the
        // search result and the start of the next pixel (which is what limits
        // the speed: each pixel waits for the one before).
        template <class Kernel>
        [[gnu::always_inline]] Step step_carrying_next(Cell value_cell, Cell ahead_cell) const {
            constexpr int weight = Kernel::weights[0][3];
            const __m128i value = value_cell.lanes;
            const __m128i ahead = ahead_cell.lanes;
            const Inputs in = inputs(value);
            const __m128i ahead01 = _mm_shuffle_epi32(ahead, 0x00);
            const __m128i ahead2 = _mm_and_si128(_mm_shuffle_epi32(ahead, 0x55), low_words());
            // Per ink lane: (next0, next1) and (next2, index).
            __m128i next01[2], next2[2];
            for (int g = 0; g < 2; ++g) {
                next01[g] = _mm_add_epi16(ahead01, share<Kernel, weight>(_mm_sub_epi16(in.v01, colour01_[g])));
                next2[g] = _mm_add_epi16(_mm_add_epi16(ahead2, index_high_[g]),
                                         share<Kernel, weight>(_mm_sub_epi16(in.v2_alone, colour2_[g])));
            }
            const auto nearest =
                tournament<2>(distances(0, in), distances(1, in), {{next01[0], next2[0]}}, {{next01[1], next2[1]}});
            const __m128i n01 = nearest.lanes[0];
            const __m128i n2 = nearest.lanes[1];
            const auto index = static_cast<std::uint8_t>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(n2)) >> 16);
            const __m128i colour = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(colours_[index]));
            return {index, {_mm_sub_epi16(value, colour)}, {_mm_unpacklo_epi32(n01, n2)}};
        }

        // As step_carrying_next(), but carrying each ink's error through the
        // tournament and working out the share for the chosen ink only.
        template <class Kernel>
        [[gnu::always_inline]] Step step_carrying_error(Cell value_cell, Cell ahead_cell) const {
            constexpr int weight = Kernel::weights[0][3];
            const Inputs in = inputs(value_cell.lanes);
            __m128i error01[2], error2[2];
            for (int g = 0; g < 2; ++g) {
                error01[g] = _mm_sub_epi16(in.v01, colour01_[g]);
                error2[g] = _mm_add_epi16(_mm_sub_epi16(in.v2_alone, colour2_[g]), index_high_[g]);
            }
            const auto nearest =
                tournament<2>(distances(0, in), distances(1, in), {{error01[0], error2[0]}}, {{error01[1], error2[1]}});
            const __m128i e2 = nearest.lanes[1];
            const auto index = static_cast<std::uint8_t>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(e2)) >> 16);
            const __m128i error = _mm_unpacklo_epi32(nearest.lanes[0], e2);
            return {index, {error}, {_mm_add_epi16(ahead_cell.lanes, share<Kernel, weight>(error))}};
        }

      private:
        struct Inputs {
            __m128i v01;       // v0 v1 in every lane
            __m128i v2;        // v2 and entry 3 in every lane
            __m128i v2_alone;  // v2 and 0 in every lane
            __m128i self;      // v0^2 + v1^2 + v2^2
        };

        template <class T>
        static __m128i load128(const T* data) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(data));
        }

        static __m128i low_words() { return _mm_set1_epi32(0xFFFF); }

        static Inputs inputs(__m128i value) {
            const __m128i v01 = _mm_shuffle_epi32(value, 0x00);
            const __m128i v2 = _mm_shuffle_epi32(value, 0x55);
            const __m128i v2_alone = _mm_and_si128(v2, low_words());
            return {v01, v2, v2_alone, _mm_add_epi32(_mm_madd_epi16(v01, v01), _mm_madd_epi16(v2_alone, v2_alone))};
        }

        __m128i distances(int group, const Inputs& in) const {
            const __m128i cross =
                _mm_add_epi32(_mm_madd_epi16(in.v01, pair01_[group]), _mm_madd_epi16(in.v2, single2_[group]));
            return _mm_add_epi32(cross, _mm_add_epi32(squares_[group], in.self));
        }

        static __m128i select(__m128i mask, __m128i if_set, __m128i if_clear) {
#if MORVA6_DIFFUSION_SSE41
            // Masks are whole 32-bit lanes, so the float blend serves.
            return _mm_castps_si128(
                _mm_blendv_ps(_mm_castsi128_ps(if_clear), _mm_castsi128_ps(if_set), _mm_castsi128_ps(mask)));
#else
            return _mm_or_si128(_mm_and_si128(mask, if_set), _mm_andnot_si128(mask, if_clear));
#endif
        }

        // The smaller of a and b, given later = (a > b).
        static __m128i smaller([[maybe_unused]] __m128i later, __m128i a, __m128i b) {
#if MORVA6_DIFFUSION_SSE41
            return _mm_min_epi32(a, b);  // does not wait for the comparison
#else
            return select(later, b, a);
#endif
        }

        template <int N>
        struct Payloads {
            __m128i lanes[N];
        };

        // Lane 0 of each payload of the nearest ink.
        template <int N>
        static Payloads<N> tournament(__m128i dist_a, __m128i dist_b, Payloads<N> a, Payloads<N> b) {
            // 0 vs 1, 2 vs 3, 4 vs 5 (lanes 0, 1, 2).
            __m128i later = _mm_cmpgt_epi32(dist_a, dist_b);
            __m128i best = smaller(later, dist_a, dist_b);
            for (int i = 0; i < N; ++i) a.lanes[i] = select(later, b.lanes[i], a.lanes[i]);
            // Lane 0: 01 vs 23; lane 2 meets itself and keeps 45.
            __m128i rival = _mm_shuffle_epi32(best, _MM_SHUFFLE(3, 2, 1, 1));
            later = _mm_cmpgt_epi32(best, rival);
            best = smaller(later, best, rival);
            for (int i = 0; i < N; ++i)
                a.lanes[i] = select(later, _mm_shuffle_epi32(a.lanes[i], _MM_SHUFFLE(3, 2, 1, 1)), a.lanes[i]);
            // Lane 0: 0123 vs 45.
            rival = _mm_shuffle_epi32(best, _MM_SHUFFLE(3, 2, 1, 2));
            later = _mm_cmpgt_epi32(best, rival);
            for (int i = 0; i < N; ++i)
                a.lanes[i] = select(later, _mm_shuffle_epi32(a.lanes[i], _MM_SHUFFLE(3, 2, 1, 2)), a.lanes[i]);
            return a;
        }

        __m128i pair01_[2];
        __m128i single2_[2];
        __m128i colour01_[2];
        __m128i colour2_[2];
        __m128i squares_[2];
        __m128i packed_[2];
        __m128i index_high_[2];
        alignas(16) std::uint16_t colours_[kInks][4] = {};
    };

    // The pixel step of the frame: nearest ink, error, and the next pixel's
    // value with the kernel's share for it added.
    //
    // A cheap share (one multiply for floor(w*e/16)) is worked out for all
    // six inks ahead of the search; a dearer one (the truncating divisions)
    // would cost more in the six-fold work than it saves in waiting, so it is
    // computed once for the chosen ink. The step is the heart of each row's
    // loop: always inlined there (a call per pixel costs a fifth of the time).
    template <class Kernel>
    [[gnu::always_inline]] static Step step(const Nearest& nearest, Cell value, Cell ahead) {
        if constexpr (Kernel::divisor == 16)
            return nearest.template step_carrying_next<Kernel>(value, ahead);
        else
            return nearest.template step_carrying_error<Kernel>(value, ahead);
    }
};

}  // namespace MORVA6_DIFFUSION_ISA
}  // namespace morva6::diffusion

#endif
