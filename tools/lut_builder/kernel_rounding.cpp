#include "tools/lut_builder/kernel_rounding.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "morva6/morva6.h"
#include "tools/lut_builder/cube_grid.h"
#include "tools/lut_builder/lut_file.h"

namespace lut_builder {
namespace {

constexpr int kIterations = 3;

// An input colour whose table entry is entry number `index`.
std::array<std::uint8_t, 3> input_of(std::size_t index) {
    return {static_cast<std::uint8_t>((index >> 12) << 2), static_cast<std::uint8_t>(((index >> 6) & 63) << 2),
            static_cast<std::uint8_t>((index & 63) << 2)};
}

Rgb grid_target(int r, int g, int b) {
    constexpr double step = 255.0 / (kRoundingGrid - 1);
    return {r * step, g * step, b * step};
}

Rgb bias_at(const RoundingBias& measured, Rgb v) {
    Rgb out;
    for (const auto& [index, weight] : cube_corners(v.r, v.g, v.b, kRoundingGrid)) {
        const Rgb& b = measured.bias[index];
        out = {out.r + weight * b.r, out.g + weight * b.g, out.b + weight * b.b};
    }
    return out;
}

}  // namespace

RoundingBias measure_rounding(const InkMixer& mixer, std::span<const Rgb8> inks, int method) {
    constexpr int n = kRoundingGrid;
    std::vector<Rgb8> table(kTableEntries);
    std::vector<Rgb> targets;
    for (int r = 0; r < n; ++r)
        for (int g = 0; g < n; ++g)
            for (int b = 0; b < n; ++b) {
                const Rgb inside = engine_average(mixer, engine_proportions(mixer, grid_target(r, g, b)));
                table[targets.size()] = to_bytes(inside);
                targets.push_back(to_rgb(table[targets.size()]));
            }
    const std::vector<std::uint8_t> lut = encode_morva6_lut(inks.first<kInkCount>(), table);
    RoundingBias measured;
    if (Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())) != OVEX_OK) return measured;
    constexpr int size = kPatchSize;
    std::vector<std::uint8_t> patch(3 * size * size);
    std::vector<std::uint8_t> shown(patch.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto input = input_of(i);
        for (std::size_t p = 0; p < patch.size(); p += 3) std::copy(input.begin(), input.end(), patch.begin() + p);
        Ovex_Morva6_render(patch.data(), 0, shown.data(), 0, size, size, method - 1, OVEX_MODE_SIMULATION);
        Rgb sum;
        int count = 0;
        for (int y = kPatchMargin; y < size - kPatchMargin; ++y)
            for (int x = kPatchMargin; x < size - kPatchMargin; ++x, ++count) {
                const std::uint8_t* s = &shown[3 * (y * size + x)];
                sum = {sum.r + s[0], sum.g + s[1], sum.b + s[2]};
            }
        measured.bias.push_back(
            {sum.r / count - targets[i].r, sum.g / count - targets[i].g, sum.b / count - targets[i].b});
    }
    return measured;
}

Rgb compensate_rounding(const RoundingBias& measured, Rgb target) {
    if (measured.bias.empty()) return target;
    Rgb entry = target;
    for (int i = 0; i < kIterations; ++i) {
        const Rgb bias = bias_at(measured, entry);
        entry = {target.r - bias.r, target.g - bias.g, target.b - bias.b};
    }
    return entry;
}

}  // namespace lut_builder
