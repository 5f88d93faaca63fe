#include "morva6/output_encoding.h"

#include <cstring>

#include "morva6/render_context.h"

namespace morva6 {

namespace {

constexpr std::array<std::uint8_t, 6> kTconCodes = {0x00, 0x78, 0x20, 0x40, 0x30, 0x10};

// Ideal ink colours as red, green, blue.
constexpr InkBytes kIdealRgb = {{{0, 0, 0}, {255, 255, 255}, {255, 255, 0},
                                 {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};

std::array<std::uint8_t, 3> reversed(const std::array<std::uint8_t, 3>& c) { return {c[2], c[1], c[0]}; }

}  // namespace

InkBytes ink_bytes_for_mode(std::int32_t mode, bool bgr) {
    InkBytes inks{};
    for (int k = 0; k < 6; ++k) {
        switch (mode) {
            case 1:
                inks[k] = {kTconCodes[k], kTconCodes[k], kTconCodes[k]};
                break;
            case 2:
                inks[k] = bgr ? reversed(kIdealRgb[k]) : kIdealRgb[k];
                break;
            default: {
                const std::array<std::uint8_t, 3> stored = {bgr_op[3 * k], bgr_op[3 * k + 1], bgr_op[3 * k + 2]};
                inks[k] = bgr ? stored : reversed(stored);
                break;
            }
        }
    }
    return inks;
}

void write_inks(std::span<const std::uint8_t> indices, const InkBytes& inks, std::uint8_t* output) {
    if (indices.empty()) return;
    // Four-byte stores: the fourth byte of each is the next pixel's first,
    // rewritten by that pixel's own store; the last pixel stores three bytes.
    std::array<std::uint32_t, 6> words{};
    for (int k = 0; k < 6; ++k) std::memcpy(&words[k], inks[k].data(), 3);
    const std::size_t last = indices.size() - 1;
    for (std::size_t i = 0; i < last; ++i) std::memcpy(output + 3 * i, &words[indices[i]], 4);
    std::memcpy(output + 3 * last, inks[indices[last]].data(), 3);
}

}  // namespace morva6
