// The render entry points: colour-table look-up, dithering onto the six
// inks, and the output encodings.
#include <morva6/morva6.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <utility>

#include "morva6/dither/dithering.h"
#include "morva6/dither/kernels.h"
#include "morva6/core/huge_pages.h"
#include "morva6/core/output_encoding.h"
#include "morva6/core/picture_size.h"
#include "morva6/core/render_context.h"

namespace {

bool is_channel_flag(std::int32_t flag) { return flag == 0 || flag == 1; }

// The public method codes name every kernel of the list.
static_assert(morva6::diffusion::kMethodCount == OVEX_DITHER_STUCKI_SERPENTINE + 1);

// The checks both entry points make before touching any buffer, in the order
// documented in morva6.h.
std::int32_t check_render_call(const morva6::RenderContext& context, std::span<const std::int32_t> channel_flags,
                               std::int32_t width, std::int32_t height, std::int32_t dither) {
    if (context.glut == nullptr) return OVEX_ERR_NOT_INITIALISED;
    for (const std::int32_t flag : channel_flags)
        if (!is_channel_flag(flag)) return OVEX_ERR_CHANNEL_ORDER;
    if (width > 0 && height > 0 && !morva6::picture_fits(width, height)) return OVEX_ERR_BAD_SIZE;
    if (static_cast<std::uint32_t>(dither) >= morva6::diffusion::kMethodCount) return OVEX_ERR_UNKNOWN_METHOD;
    return OVEX_OK;
}

// One ink index per pixel: the picture looked up through the colour table
// and dithered. The input is read completely here, before any output.
struct InkIndices {
    std::unique_ptr<std::uint8_t[]> bytes;  // every byte is written by the dithering
    std::size_t count;
    std::span<const std::uint8_t> view() const { return {bytes.get(), count}; }
};

InkIndices ink_indices(const morva6::RenderContext& context, const std::uint8_t* input, bool bgr,
                       std::int32_t width, std::int32_t height, std::int32_t dither) {
    const std::size_t count = morva6::picture_bytes(width, height, 1);
    InkIndices indices{std::make_unique_for_overwrite<std::uint8_t[]>(count), count};
    morva6::advise_huge_pages(indices.bytes.get(), count);
    morva6::dither_through_table(dither, context.bgr_op, input, bgr, context.glut, indices.bytes.get(), width,
                                 height);
    return indices;
}

morva6::RenderContext default_context() { return {morva6::bgr_op, morva6::glut}; }

morva6::RenderContext context_of(const OvexRenderContext& context) {
    morva6::RenderContext value;
    std::copy(std::begin(context.bgr_op), std::end(context.bgr_op), value.bgr_op.begin());
    value.glut = context.glut;
    return value;
}

std::int32_t render(const morva6::RenderContext& context, const uint8_t* input, int32_t input_is_bgr,
                    uint8_t* output, int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither,
                    int32_t mode) {
    const std::int32_t flags[] = {input_is_bgr, output_is_bgr};
    if (const std::int32_t status = check_render_call(context, flags, width, height, dither); status != OVEX_OK)
        return status;
    // An empty picture or an unknown mode writes nothing; the dithering would
    // not be seen, so it is not done.
    if (width <= 0 || height <= 0 || mode < OVEX_MODE_TCON || mode > OVEX_MODE_SIMULATION) return OVEX_OK;
    try {
        const auto indices = ink_indices(context, input, input_is_bgr == 1, width, height, dither);
        morva6::write_inks(indices.view(), morva6::ink_bytes_for_mode(mode, output_is_bgr == 1, context.bgr_op),
                           output);
        return OVEX_OK;
    } catch (const std::bad_alloc&) {
        return OVEX_ERR_NO_MEMORY;
    }
}

std::int32_t render_all(const morva6::RenderContext& context, const uint8_t* input, int32_t is_bgr,
                        uint8_t* output_tcon, uint8_t* output_aoi, uint8_t* output_simulation, int32_t width,
                        int32_t height, int32_t dither) {
    const std::int32_t flags[] = {is_bgr};
    if (const std::int32_t status = check_render_call(context, flags, width, height, dither); status != OVEX_OK)
        return status;
    if (width <= 0 || height <= 0) return OVEX_OK;
    try {
        const bool bgr = is_bgr == 1;
        const auto indices = ink_indices(context, input, bgr, width, height, dither);
        for (const auto& [mode, output] : {std::pair{OVEX_MODE_TCON, output_tcon}, std::pair{OVEX_MODE_AOI, output_aoi},
                                           std::pair{OVEX_MODE_SIMULATION, output_simulation}})
            morva6::write_inks(indices.view(), morva6::ink_bytes_for_mode(mode, bgr, context.bgr_op), output);
        return OVEX_OK;
    } catch (const std::bad_alloc&) {
        return OVEX_ERR_NO_MEMORY;
    }
}

// One dithering pass into the caller's index buffer, then the mode's bytes.
std::int32_t render_indices(const morva6::RenderContext& context, const uint8_t* input, int32_t input_is_bgr,
                            uint8_t* indices, uint8_t* output, int32_t output_is_bgr, int32_t width, int32_t height,
                            int32_t dither, int32_t mode) {
    const std::int32_t flags[] = {input_is_bgr, output_is_bgr};
    if (const std::int32_t status = check_render_call(context, flags, width, height, dither); status != OVEX_OK)
        return status;
    if (width <= 0 || height <= 0) return OVEX_OK;
    if (indices == nullptr) return OVEX_ERR_BAD_SIZE;
    try {
        morva6::dither_through_table(dither, context.bgr_op, input, input_is_bgr == 1, context.glut, indices, width,
                                     height);
        if (output != nullptr && mode >= OVEX_MODE_TCON && mode <= OVEX_MODE_SIMULATION)
            morva6::write_inks({indices, morva6::picture_bytes(width, height, 1)},
                               morva6::ink_bytes_for_mode(mode, output_is_bgr == 1, context.bgr_op), output);
        return OVEX_OK;
    } catch (const std::bad_alloc&) {
        return OVEX_ERR_NO_MEMORY;
    }
}

}  // namespace

extern "C" int32_t Ovex_Morva6_render(const uint8_t* input, int32_t input_is_bgr, uint8_t* output,
                                      int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither,
                                      int32_t mode) {
    return render(default_context(), input, input_is_bgr, output, output_is_bgr, width, height, dither, mode);
}

extern "C" int32_t Ovex_Morva6_render_All(const uint8_t* input, int32_t is_bgr, uint8_t* output_tcon,
                                          uint8_t* output_aoi, uint8_t* output_simulation, void* reserved,
                                          int32_t width, int32_t height, int32_t dither) {
    static_cast<void>(reserved);
    return render_all(default_context(), input, is_bgr, output_tcon, output_aoi, output_simulation, width, height,
                      dither);
}

extern "C" int32_t Ovex_context_render(const OvexRenderContext* context, const uint8_t* input, int32_t input_is_bgr,
                                       uint8_t* output, int32_t output_is_bgr, int32_t width, int32_t height,
                                       int32_t dither, int32_t mode) {
    if (context == nullptr) return OVEX_ERR_NOT_INITIALISED;
    return render(context_of(*context), input, input_is_bgr, output, output_is_bgr, width, height, dither, mode);
}

extern "C" int32_t Ovex_context_render_All(const OvexRenderContext* context, const uint8_t* input, int32_t is_bgr,
                                           uint8_t* output_tcon, uint8_t* output_aoi, uint8_t* output_simulation,
                                           int32_t width, int32_t height, int32_t dither) {
    if (context == nullptr) return OVEX_ERR_NOT_INITIALISED;
    return render_all(context_of(*context), input, is_bgr, output_tcon, output_aoi, output_simulation, width,
                      height, dither);
}

extern "C" int32_t Ovex_context_render_indices(const OvexRenderContext* context, const uint8_t* input,
                                               int32_t input_is_bgr, uint8_t* indices, uint8_t* output,
                                               int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither,
                                               int32_t mode) {
    if (context == nullptr) return OVEX_ERR_NOT_INITIALISED;
    return render_indices(context_of(*context), input, input_is_bgr, indices, output, output_is_bgr, width, height,
                          dither, mode);
}
