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
    // Two pixels at a time from a table of the 36 pairs (six bytes each),
    // stored eight bytes wide: the two extra bytes belong to the next pair,
    // which rewrites them. The last pixels go byte by byte.
    std::array<std::uint64_t, 36> pairs{};
    for (int first = 0; first < 6; ++first)
        for (int second = 0; second < 6; ++second) {
            std::uint8_t six[8] = {};
            std::memcpy(six, inks[first].data(), 3);
            std::memcpy(six + 3, inks[second].data(), 3);
            std::memcpy(&pairs[6 * first + second], six, 8);
        }
    const std::size_t count = indices.size();
    std::size_t i = 0;
    for (; i + 3 < count; i += 2) std::memcpy(output + 3 * i, &pairs[6 * indices[i] + indices[i + 1]], 8);
    for (; i < count; ++i) std::memcpy(output + 3 * i, inks[indices[i]].data(), 3);
}

}  // namespace morva6
