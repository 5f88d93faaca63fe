#include "morva6/core/output_encoding.h"

#include <cstring>

#include "morva6/core/render_context.h"

namespace morva6 {

namespace {

constexpr std::array<std::uint8_t, 6> kTconCodes = {0x00, 0x78, 0x20, 0x40, 0x30, 0x10};

// Ideal ink colours as red, green, blue.
constexpr InkBytes kIdealRgb = {{{0, 0, 0}, {255, 255, 255}, {255, 255, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};

std::array<std::uint8_t, 3> reversed(const std::array<std::uint8_t, 3>& c) { return {c[2], c[1], c[0]}; }

}  // namespace

InkBytes ink_bytes_for_mode(std::int32_t mode, bool bgr, const InkColours& bgr_op) {
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

InkWriter::InkWriter(const InkBytes& inks) : inks_(inks) {
    for (std::size_t q = 0; q < quads_.size(); ++q) {
        const std::size_t ink[4] = {q / 216, q / 36 % 6, q / 6 % 6, q % 6};
        for (int k = 0; k < 4; ++k) std::memcpy(quads_[q].bytes + 3 * k, inks[ink[k]].data(), 3);
    }
}

void InkWriter::write(std::span<const std::uint8_t> indices, std::uint8_t* output) const {
    // The last pixels go one by one, so no quadruple reaches past the end.
    const std::size_t count = indices.size();
    const std::uint8_t* index = indices.data();
    std::size_t i = 0;
    for (; i + 6 <= count; i += 4) {
        const std::size_t q = ((index[i] * 6u + index[i + 1]) * 6u + index[i + 2]) * 6u + index[i + 3];
        std::memcpy(output + 3 * i, quads_[q].bytes, 16);
    }
    for (; i < count; ++i) std::memcpy(output + 3 * i, inks_[index[i]].data(), 3);
}

}  // namespace morva6
