// The exported C interface of the eight-colour renderer over the engine.
#include <ulma/ulma.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string>

#include "common/threads.h"
#include "ulmarender/engine/render_data.h"
#include "ulmarender/engine/render_picture.h"
#include "ulmarender/engine/settings.h"

struct UlmaRenderData {
    ulma::RenderData data;
};

namespace {

common::ChosenThreads chosen_threads;

void write_text(char (&target)[ULMA_MESSAGE_SIZE], const std::string& text) {
    std::snprintf(target, sizeof target, "%s", text.c_str());
}

std::int32_t report(UlmaMessages* messages, std::int32_t status, const std::string& message,
                    const std::string& warnings = "") {
    if (messages != nullptr) {
        write_text(messages->message, message);
        write_text(messages->warnings, warnings);
    }
    return status;
}

double percent(double value) { return std::isnan(value) ? value : std::clamp(value, -100.0, 100.0); }

bool engine_settings(const UlmaSettings& in, bool proof, ulma::Settings& out) {
    if (in.version != ULMA_VERSION_0302 && in.version != ULMA_VERSION_0301) return false;
    out.stages = in.version == ULMA_VERSION_0302 ? ulma::kStages0302 : ulma::kStages0301;
    out.proof = proof;
    out.sat_offset = percent(in.chroma);
    out.light_offset = percent(in.lightness);
    out.preprocess = ulma::offsets_set(out.sat_offset, out.light_offset);
    out.noise_range = in.noise_range;
    out.seed = in.seed;
    out.threads = ulma_threads();
    return true;
}

}  // namespace

extern "C" void ulma_default_settings(UlmaSettings* settings) {
    if (settings != nullptr) *settings = {ULMA_VERSION_0302, 0.0, 0.0, -1, 1};
}

extern "C" int32_t ulma_open(const char* folder, UlmaRenderData** data, UlmaMessages* messages) {
    if (folder == nullptr || data == nullptr) return report(messages, ULMA_ERR_ARGUMENT, "no folder given");
    *data = nullptr;
    try {
        auto opened = std::make_unique<UlmaRenderData>();
        const ulma::OpenResult result = ulma::open_render_data(folder, opened->data);
        if (result.problem != ulma::OpenProblem::none)
            return report(messages, ULMA_ERR_RENDER_DATA, std::string(folder) + ": " + ulma::describe(result));
        *data = opened.release();
        return report(messages, ULMA_OK, ulma::describe(result));
    } catch (const std::bad_alloc&) {
        return report(messages, ULMA_ERR_NO_MEMORY, "not enough memory");
    }
}

extern "C" int32_t ulma_render(const UlmaRenderData* data, const UlmaSettings* settings, const uint8_t* rgb,
                               int32_t width, int32_t height, int32_t temperature, uint8_t* panel_codes,
                               uint8_t* proof_rgb, UlmaMessages* messages) {
    if (data == nullptr || rgb == nullptr || panel_codes == nullptr)
        return report(messages, ULMA_ERR_ARGUMENT, "no render data, picture or panel-code buffer given");
    UlmaSettings given;
    ulma_default_settings(&given);
    if (settings != nullptr) given = *settings;
    ulma::Settings engine;
    if (!engine_settings(given, proof_rgb != nullptr, engine))
        return report(messages, ULMA_ERR_ARGUMENT, "unknown version " + std::to_string(given.version));
    if (width < 1 || height < 1 || width > INT32_MAX / 4 / height)
        return report(messages, ULMA_ERR_PICTURE_SIZE, "picture size not supported");
    try {
        const std::span<const unsigned char> pixels(
            rgb, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        ulma::Rendering rendering;
        const ulma::RenderProblem problem =
            ulma::render_picture(data->data, engine, pixels, width, height, temperature, rendering);
        const std::string warnings = rendering.lut_missing ? ulma::lut_warning(rendering) + "\n" : "";
        if (problem != ulma::RenderProblem::none) {
            const std::int32_t status =
                problem == ulma::RenderProblem::bad_size ? ULMA_ERR_PICTURE_SIZE : ULMA_ERR_PALETTE;
            return report(messages, status, ulma::describe(problem, rendering), warnings);
        }
        std::copy(rendering.panel_codes.begin(), rendering.panel_codes.end(), panel_codes);
        if (proof_rgb != nullptr) std::copy(rendering.proof_rgb.begin(), rendering.proof_rgb.end(), proof_rgb);
        return report(messages, ULMA_OK, ulma::describe(problem, rendering), warnings);
    } catch (const std::bad_alloc&) {
        return report(messages, ULMA_ERR_NO_MEMORY, "not enough memory");
    }
}

extern "C" void ulma_close(UlmaRenderData* data) { delete data; }

extern "C" void ulma_set_threads(int32_t count) { chosen_threads.set(count); }

extern "C" int32_t ulma_threads(void) { return chosen_threads.current(); }
