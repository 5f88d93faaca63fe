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
#include "morva6/core/render_threads.h"

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

// An output picture and the bytes of its inks.
struct Output {
    morva6::InkWriter writer;
    std::uint8_t* bytes;
};

// Looks the picture up through the colour table, dithers it and writes
// every output, each row as soon as it is dithered (its input row is not
// read again then, so an output may be the input buffer). Throws
// std::bad_alloc before writing anything.
void render_inks(const morva6::RenderContext& context, const std::uint8_t* input, bool bgr, std::int32_t width,
                 std::int32_t height, std::int32_t dither, std::span<const Output> outputs) {
    const std::size_t count = morva6::picture_bytes(width, height, 1);
    const auto indices = std::make_unique_for_overwrite<std::uint8_t[]>(count);  // all written by the dithering
    morva6::advise_huge_pages(indices.get(), count);
    struct Encoding {
        const std::uint8_t* indices;
        std::size_t width;
        std::span<const Output> outputs;
    } encoding{indices.get(), static_cast<std::size_t>(width), outputs};
    const auto encode = [](void* context, std::int32_t first, std::int32_t end) {
        const auto& e = *static_cast<const Encoding*>(context);
        const std::size_t start = static_cast<std::size_t>(first) * e.width;
        const std::span<const std::uint8_t> rows(e.indices + start, static_cast<std::size_t>(end - first) * e.width);
        for (const Output& output : e.outputs) output.writer.write(rows, output.bytes + 3 * start);
    };
    morva6::dither_through_table(dither, context.bgr_op, input, bgr, context.glut, indices.get(), width, height,
                                 morva6::render_threads(), {encode, &encoding});
}

morva6::RenderContext default_context() { return {morva6::bgr_op, morva6::glut}; }

morva6::RenderContext context_of(const OvexRenderContext& context) {
    morva6::RenderContext value;
    std::copy(std::begin(context.bgr_op), std::end(context.bgr_op), value.bgr_op.begin());
    value.glut = context.glut;
    return value;
}

std::int32_t render(const morva6::RenderContext& context, const uint8_t* input, int32_t input_is_bgr, uint8_t* output,
                    int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither, int32_t mode) {
    const std::int32_t flags[] = {input_is_bgr, output_is_bgr};
    if (const std::int32_t status = check_render_call(context, flags, width, height, dither); status != OVEX_OK)
        return status;
    // An empty picture or an unknown mode writes nothing; the dithering would
    // not be seen, so it is not done.
    if (width <= 0 || height <= 0 || mode < OVEX_MODE_TCON || mode > OVEX_MODE_SIMULATION) return OVEX_OK;
    try {
        const Output outputs[] = {
            {morva6::InkWriter(morva6::ink_bytes_for_mode(mode, output_is_bgr == 1, context.bgr_op)), output}};
        render_inks(context, input, input_is_bgr == 1, width, height, dither, outputs);
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
        auto output = [&](std::int32_t mode, std::uint8_t* bytes) {
            return Output{morva6::InkWriter(morva6::ink_bytes_for_mode(mode, bgr, context.bgr_op)), bytes};
        };
        const Output outputs[] = {output(OVEX_MODE_TCON, output_tcon), output(OVEX_MODE_AOI, output_aoi),
                                  output(OVEX_MODE_SIMULATION, output_simulation)};
        render_inks(context, input, bgr, width, height, dither, outputs);
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
                                     height, morva6::render_threads(), {});
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
    return render_all(context_of(*context), input, is_bgr, output_tcon, output_aoi, output_simulation, width, height,
                      dither);
}

extern "C" int32_t Ovex_context_render_indices(const OvexRenderContext* context, const uint8_t* input,
                                               int32_t input_is_bgr, uint8_t* indices, uint8_t* output,
                                               int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither,
                                               int32_t mode) {
    if (context == nullptr) return OVEX_ERR_NOT_INITIALISED;
    return render_indices(context_of(*context), input, input_is_bgr, indices, output, output_is_bgr, width, height,
                          dither, mode);
}
