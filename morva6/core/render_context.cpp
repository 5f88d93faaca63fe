#include "morva6/core/render_context.h"

#include <algorithm>

#include <morva6/morva6.h>

static_assert(OVEX_LUT_FILE_SIZE == morva6::kLutFileSize);

namespace morva6 {

InkColours bgr_op{};
const std::uint8_t* glut = nullptr;

bool install_lut(RenderContext& context, const std::uint8_t* lut, std::int32_t size) {
    if (size != kLutFileSize || lut == nullptr) return false;
    std::copy_n(lut, kPaletteBytes, context.bgr_op.begin());
    context.glut = lut + kPaletteBytes;
    return true;
}

}  // namespace morva6

extern "C" int32_t Ovex_Morva6_render_init(const uint8_t* lut, int32_t size) {
    morva6::RenderContext context;
    if (!morva6::install_lut(context, lut, size)) return OVEX_ERR_LUT_SIZE;
    morva6::bgr_op = context.bgr_op;
    morva6::glut = context.glut;
    return OVEX_OK;
}

extern "C" int32_t Ovex_context_init(OvexRenderContext* context, const uint8_t* lut, int32_t size) {
    if (context == nullptr) return OVEX_ERR_LUT_SIZE;
    morva6::RenderContext installed;
    if (!morva6::install_lut(installed, lut, size)) return OVEX_ERR_LUT_SIZE;
    std::copy(installed.bgr_op.begin(), installed.bgr_op.end(), context->bgr_op);
    context->glut = installed.glut;
    return OVEX_OK;
}
