// Checks of a cells type of the dithering frame (the plain cells, and each
// build of the vector cells): shares and nearest-ink search against the
// plain rules. Templates only, so that each test file instantiates them for
// its own build.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "dithering_reference.h"
#include "morva6/error_diffusion_kernels.h"
#include "morva6/error_diffusion_palette.h"

namespace {

struct ShareCase {
    Kernel kernel;
    int error;
    std::array<int, 4> shares;  // for the kernel's weights, largest first
};

inline std::vector<ShareCase> worked_shares() {
    return {
        // Floyd-Steinberg, weights 7, 5, 3, 1: floor, so negatives round down.
        {Kernel::Floyd, 16, {7, 5, 3, 1}},
        {Kernel::Floyd, 20, {8, 6, 3, 1}},
        {Kernel::Floyd, -20, {-9, -7, -4, -2}},
        {Kernel::Floyd, -1, {-1, -1, -1, -1}},
        {Kernel::Floyd, 1, {0, 0, 0, 0}},
        // Jarvis-Judice-Ninke, weights 7, 5, 3, 1: toward zero.
        {Kernel::Jarvis, 5, {0, 0, 0, 0}},
        {Kernel::Jarvis, 6, {0, 0, 0, 0}},
        {Kernel::Jarvis, -6, {0, 0, 0, 0}},
        {Kernel::Jarvis, 7, {1, 0, 0, 0}},
        {Kernel::Jarvis, 41, {5, 4, 2, 0}},
        {Kernel::Jarvis, 47, {6, 4, 2, 0}},
        {Kernel::Jarvis, -47, {-6, -4, -2, 0}},
        {Kernel::Jarvis, 100, {14, 10, 6, 2}},
        {Kernel::Jarvis, -100, {-14, -10, -6, -2}},
        {Kernel::Jarvis, -32768, {-4778, -3413, -2048, -682}},
        // Stucki, weights 8, 4, 2, 1: toward zero.
        {Kernel::Stucki, 5, {0, 0, 0, 0}},
        {Kernel::Stucki, -5, {0, 0, 0, 0}},
        {Kernel::Stucki, 6, {1, 0, 0, 0}},
        {Kernel::Stucki, 7, {1, 0, 0, 0}},
        {Kernel::Stucki, 41, {7, 3, 1, 0}},
        {Kernel::Stucki, 47, {8, 4, 2, 1}},
        {Kernel::Stucki, -47, {-8, -4, -2, -1}},
        {Kernel::Stucki, 100, {19, 9, 4, 2}},
        {Kernel::Stucki, -100, {-19, -9, -4, -2}},
        {Kernel::Stucki, -32768, {-6241, -3120, -1560, -780}},
        {Kernel::Stucki, 32767, {6241, 3120, 1560, 780}},
    };
}

// The shares of `kernel` for one error, through the cells type `Cells`;
// the three channels get e, e and e so that each lane is exercised.
template <class Cells>
std::array<int, 4> cell_shares(Kernel kernel, int error) {
    typename Cells::Cell cell = Cells::zero();
    std::array<std::uint16_t, 4> entries = {static_cast<std::uint16_t>(error), static_cast<std::uint16_t>(error),
                                            static_cast<std::uint16_t>(error), 0};
    cell = Cells::load(entries.data());
    std::array<typename Cells::Cell, 4> shares{};
    switch (kernel) {
        case Kernel::Floyd:
            shares = Cells::template shares<morva6::diffusion::FloydSteinberg>(cell);
            break;
        case Kernel::Jarvis:
            shares = Cells::template shares<morva6::diffusion::JarvisJudiceNinke>(cell);
            break;
        default:
            shares = Cells::template shares<morva6::diffusion::Stucki>(cell);
            break;
    }
    std::array<int, 4> result{};
    for (int slot = 0; slot < 4; ++slot) {
        std::array<std::uint16_t, 4> out{};
        Cells::store(out.data(), shares[slot]);
        // All three channels must agree and the fourth entry stay zero.
        EXPECT_EQ(out[1], out[0]);
        EXPECT_EQ(out[2], out[0]);
        EXPECT_EQ(out[3], 0);
        result[slot] = static_cast<std::int16_t>(out[0]);
    }
    return result;
}

// Shares of Cells for every 16-bit error that differ from the plain quotient
// (floor for Floyd-Steinberg, toward zero for the others), over all three
// kernels and all four weights, with different errors in the three channels.
template <class Cells>
long share_mismatches() {
    long mismatches = 0;
    for (const Kernel kernel : {Kernel::Floyd, Kernel::Jarvis, Kernel::Stucki}) {
        const ReferenceKernel k = reference_kernel(kernel);
        const std::array<int, 4> weights =
            kernel == Kernel::Stucki ? std::array<int, 4>{8, 4, 2, 1} : std::array<int, 4>{7, 5, 3, 1};
        for (int e = -32768; e <= 32767; ++e) {
            const std::array<std::uint16_t, 4> entries = {static_cast<std::uint16_t>(e),
                                                          static_cast<std::uint16_t>(-e - 1),
                                                          static_cast<std::uint16_t>(e + 12345), 0};
            std::array<typename Cells::Cell, 4> shares{};
            const typename Cells::Cell cell = Cells::load(entries.data());
            if (kernel == Kernel::Floyd)
                shares = Cells::template shares<morva6::diffusion::FloydSteinberg>(cell);
            else if (kernel == Kernel::Jarvis)
                shares = Cells::template shares<morva6::diffusion::JarvisJudiceNinke>(cell);
            else
                shares = Cells::template shares<morva6::diffusion::Stucki>(cell);
            for (int slot = 0; slot < 4; ++slot) {
                std::array<std::uint16_t, 4> out{};
                Cells::store(out.data(), shares[slot]);
                for (int c = 0; c < 3; ++c) {
                    const int expected = reference_share(k, weights[slot], static_cast<std::int16_t>(entries[c]));
                    mismatches += static_cast<std::int16_t>(out[c]) != expected;
                }
                mismatches += out[3] != 0;
            }
        }
    }
    return mismatches;
}

template <class Cells>
int nearest_index(const Palette& stored, bool bgr, std::array<std::int16_t, 3> value) {
    const typename Cells::Nearest nearest(morva6::diffusion::pixel_order_palette(stored, bgr));
    const std::array<std::uint16_t, 4> entries = {static_cast<std::uint16_t>(value[0]),
                                                  static_cast<std::uint16_t>(value[1]),
                                                  static_cast<std::uint16_t>(value[2]), 0};
    const auto choice = nearest(Cells::load(entries.data()));
    // The chosen colour must be the chosen ink's, in pixel order.
    std::array<std::uint16_t, 4> colour{};
    Cells::store(colour.data(), choice.colour);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(colour[c], stored[3 * choice.index + (bgr ? c : 2 - c)]);
    EXPECT_EQ(colour[3], 0);
    return choice.index;
}

struct NearestCase {
    std::string what;
    Palette palette;
    std::array<std::int16_t, 3> value;  // blue, green, red
    int expected;
};

// Values equally near two inks, duplicate inks, unclamped values.
inline std::vector<NearestCase> tie_cases() {
    const Palette twin_whites = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};
    const Palette all_same = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    return {
        {"worked example: green and blue equally near", kIdealInks, {129, 129, 118}, 4},
        {"exact palette colour", kIdealInks, {0, 0, 255}, 3},
        {"duplicate ink: the lower index wins", twin_whites, {250, 250, 250}, 1},
        {"all inks equal", all_same, {-500, 3000, 77}, 0},
        {"black and white tie at mid grey, from below", {0, 0, 0, 2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {1, 1, 1}, 0},
        {"later ink strictly nearer wins", {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60},
         {56, 56, 56}, 5},
        {"values are not clamped", kIdealInks, {-300, -300, 600}, 3},
    };
}

// Random palettes (some with a duplicate ink) and values across the whole
// 16-bit range, both channel orders: the number of searches of Cells that
// disagree with the plain rule. `wrapped` counts distances that wrapped to
// negative 32-bit numbers, to show the wrapping case was exercised.
template <class Cells>
long nearest_disagreements(int trials, long& wrapped) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> any(-32768, 32767);
    long disagreements = 0;
    for (int trial = 0; trial < trials; ++trial) {
        Palette palette{};
        for (auto& b : palette) b = static_cast<std::uint8_t>(byte(random));
        if (trial % 7 == 0) std::copy_n(palette.begin(), 3, palette.begin() + 9);  // a duplicate ink
        std::array<std::int16_t, 3> value{};
        for (auto& v : value) v = static_cast<std::int16_t>(trial % 3 == 0 ? any(random) : any(random) / 64);
        const bool bgr = trial % 2 == 0;
        // Plain rule, written out.
        int best = 0;
        std::int32_t best_distance = 0;
        for (int k = 0; k < 6; ++k) {
            std::uint32_t d = 0;
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t diff = static_cast<std::uint32_t>(palette[3 * k + (bgr ? c : 2 - c)] - value[c]);
                d += diff * diff;
            }
            wrapped += static_cast<std::int32_t>(d) < 0;
            if (k == 0 || static_cast<std::int32_t>(d) < best_distance) {
                best = k;
                best_distance = static_cast<std::int32_t>(d);
            }
        }
        disagreements += nearest_index<Cells>(palette, bgr, value) != best;
    }
    return disagreements;
}

}  // namespace
