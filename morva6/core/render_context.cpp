#include "morva6/core/render_context.h"

#include <algorithm>

#include <morva6/morva6.h>

namespace morva6 {

std::array<std::uint8_t, kPaletteBytes> bgr_op{};
const std::uint8_t* glut = nullptr;

}  // namespace morva6

extern "C" int32_t Ovex_Morva6_render_init(const uint8_t* lut, int32_t size) {
    if (size != morva6::kLutFileSize || lut == nullptr) return OVEX_ERR_LUT_SIZE;
    std::copy_n(lut, morva6::kPaletteBytes, morva6::bgr_op.begin());
    morva6::glut = lut + morva6::kPaletteBytes;
    return OVEX_OK;
}
