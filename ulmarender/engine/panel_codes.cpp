#include <array>
#include <cstddef>

#include "ulmarender/engine/panel_codes.h"

namespace ulma {

namespace {
// Panel code of each palette index.
constexpr std::array<unsigned char, 8> ulma_table = {0, 4, 5, 6, 1, 3, 2, 7};
}  // namespace

void ulmamap_rgb(int img_x, int img_y, const unsigned char* img_buffer, unsigned char* img_out_point) {
    if (img_x <= 0 || img_y <= 0) return;
    const std::size_t pixel_count = static_cast<std::size_t>(img_x) * static_cast<std::size_t>(img_y);
    for (std::size_t n = 0; n < pixel_count; ++n) {
        // Indices above 7 never come from the diffusion; they get code 0.
        const unsigned char p = img_buffer[n];
        const unsigned char code = p < ulma_table.size() ? ulma_table[p] * 8 : 0;
        unsigned char* out = img_out_point + n * 3;
        out[0] = code;
        out[1] = code;
        out[2] = code;
    }
}

}  // namespace ulma
