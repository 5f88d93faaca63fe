// Shared by the dithering tests: a slow reference of the diffusion rules
// (full error rows with guard columns, shares added into memory one by one,
// rows copied on rotation, shares by floating-point floor or trunc), written
// from the rules and not from the engines, and test pictures.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Palette = std::array<std::uint8_t, 18>;
enum class Kernel { Floyd, Jarvis, Stucki };

// The ideal inks stored blue, green, red: black, white, yellow, red, green, blue.
constexpr Palette kIdealInks = {0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};

inline std::string kernel_name(Kernel kernel) {
    return kernel == Kernel::Floyd ? "Floyd" : kernel == Kernel::Jarvis ? "Jarvis" : "Stucki";
}

// ---------------------------------------------------------------------------
// Slow reference: full error rows with guard columns, shares added into memory
// one by one, rows copied on rotation; shares by floating-point floor/trunc.

struct ReferenceKernel {
    int guard;
    int rows;
    int divisor;
    bool floor_rounding;
    // weights[row][offset + 2] for a left-to-right row.
    int weights[3][5];
};

inline ReferenceKernel reference_kernel(Kernel kernel) {
    switch (kernel) {
        case Kernel::Floyd:
            return {1, 2, 16, true, {{0, 0, 0, 7, 0}, {0, 3, 5, 1, 0}, {0, 0, 0, 0, 0}}};
        case Kernel::Jarvis:
            return {2, 3, 48, false, {{0, 0, 0, 7, 5}, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}}};
        default:
            return {2, 3, 42, false, {{0, 0, 0, 8, 4}, {2, 4, 8, 4, 2}, {1, 2, 4, 2, 1}}};
    }
}

inline int reference_share(const ReferenceKernel& k, int weight, int error) {
    const double exact = static_cast<double>(weight) * error / k.divisor;
    return static_cast<int>(k.floor_rounding ? std::floor(exact) : std::trunc(exact));
}

// How often the reference met the wrapping rules, so that tests can check
// that their pictures really exercise them.
struct ReferenceStats {
    long negative_values = 0;     // pixel values below 0
    long wrapped_values = 0;      // pixel values whose entry had wrapped past 16 bits
    long wrapped_distances = 0;   // distances that wrapped to negative 32-bit numbers
};

inline std::vector<std::uint8_t> reference_dither(Kernel which, const std::vector<std::uint8_t>& mapped,
                                           std::uint32_t is_bgr, int width, int height, bool serpentine,
                                           const Palette& palette, ReferenceStats* stats = nullptr) {
    ReferenceStats unused;
    ReferenceStats& seen = stats != nullptr ? *stats : unused;
    if (width < 1 || height < 1) return {};
    const ReferenceKernel k = reference_kernel(which);
    const int columns = width + 2 * k.guard;
    std::vector<std::vector<std::uint16_t>> rows(k.rows, std::vector<std::uint16_t>(columns * 3, 0));
    // The same sums without wrapping, only to count wraps.
    std::vector<std::vector<long>> exact(k.rows, std::vector<long>(columns * 3, 0));
    auto entry = [&](int row, int x, int c) -> std::uint16_t& { return rows[row][(x + k.guard) * 3 + c]; };
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height);
    const bool reads_pixels = is_bgr <= 1;
    for (int y = 0; y < height; ++y) {
        if (reads_pixels)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    entry(0, x, c) += mapped[(y * width + x) * 3 + c];
                    exact[0][(x + k.guard) * 3 + c] += mapped[(y * width + x) * 3 + c];
                }
        const bool right_to_left = serpentine && y % 2 == 1;
        const int dir = right_to_left ? -1 : 1;
        for (int n = 0; n < width; ++n) {
            const int x = right_to_left ? width - 1 - n : n;
            int value[3];
            for (int c = 0; c < 3; ++c) {
                value[c] = static_cast<std::int16_t>(entry(0, x, c));
                seen.negative_values += value[c] < 0;
                seen.wrapped_values += exact[0][(x + k.guard) * 3 + c] != value[c];
            }
            // Palette byte compared with pixel byte c.
            auto ink = [&](int index, int c) { return palette[3 * index + (is_bgr == 0 ? 2 - c : c)]; };
            int best = 0;
            std::int32_t best_distance = 0;
            for (int index = 0; index < 6; ++index) {
                std::uint32_t d = 0;
                for (int c = 0; c < 3; ++c) {
                    const std::uint32_t diff = static_cast<std::uint32_t>(ink(index, c) - value[c]);
                    d += diff * diff;
                }
                const auto distance = static_cast<std::int32_t>(d);
                seen.wrapped_distances += distance < 0;
                if (index == 0 || distance < best_distance) {
                    best = index;
                    best_distance = distance;
                }
            }
            out[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(best);
            if (!reads_pixels) continue;
            for (int c = 0; c < 3; ++c) {
                const int error = static_cast<std::int16_t>(value[c] - ink(best, c));
                const long exact_error = exact[0][(x + k.guard) * 3 + c] - ink(best, c);
                for (int row = 0; row < k.rows; ++row)
                    for (int offset = -2; offset <= 2; ++offset) {
                        const int weight = k.weights[row][offset + 2];
                        if (weight == 0) continue;
                        entry(row, x + dir * offset, c) += static_cast<std::uint16_t>(reference_share(k, weight, error));
                        exact[row][(x + dir * offset + k.guard) * 3 + c] +=
                            reference_share(k, weight, static_cast<int>(exact_error));
                    }
            }
        }
        for (int row = 0; row + 1 < k.rows; ++row) {
            rows[row] = rows[row + 1];
            exact[row] = exact[row + 1];
        }
        std::fill(rows.back().begin(), rows.back().end(), 0);
        std::fill(exact.back().begin(), exact.back().end(), 0);
    }
    return out;
}


inline std::vector<std::uint8_t> uniform_picture(int width, int height, std::array<std::uint8_t, 3> pixel) {
    std::vector<std::uint8_t> picture;
    for (int i = 0; i < width * height; ++i) picture.insert(picture.end(), pixel.begin(), pixel.end());
    return picture;
}

inline std::vector<std::uint8_t> random_picture(std::mt19937& random, int width, int height, int low, int high) {
    std::uniform_int_distribution<int> byte(low, high);
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * height * 3);
    for (auto& b : picture) b = static_cast<std::uint8_t>(byte(random));
    return picture;
}

// Smooth gradients with a few hard edges, the kind of picture real use sees.
inline std::vector<std::uint8_t> gradient_picture(int width, int height) {
    std::vector<std::uint8_t> picture;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool edge = (x / 5 + y / 3) % 4 == 0;
            picture.push_back(static_cast<std::uint8_t>(edge ? 240 : x * 255 / std::max(1, width - 1)));
            picture.push_back(static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1)));
            picture.push_back(static_cast<std::uint8_t>(edge ? 10 : (x + y) * 127 / std::max(1, width + height)));
        }
    return picture;
}

}  // namespace
