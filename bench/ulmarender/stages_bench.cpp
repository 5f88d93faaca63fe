// Speed of the renderer (version 0302) on a 3840 x 2160 photo-like picture,
// one thread: every stage on its own and the whole pipeline. The "Mpx/s"
// counter is millions of picture pixels per second of the thread's
// processor time (steadier than wall time on a shared machine); the file
// stages also report bytes per second. Build in Release.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "common/threads.h"
#include "render_data_fixture.h"
#include "ulmarender/engine/channel_order.h"
#include "ulmarender/engine/cielab_diffusion_loop.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/error_diffusion.h"
#include "ulmarender/engine/panel_codes.h"
#include "ulmarender/engine/render_picture.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/program/pipeline.h"
#include "ulmarender/program/ppm_files.h"
#include "ulmarender/program/render_data_files.h"
#include "ulmarender/program/settings.h"

namespace {

using namespace ulma;

using ulma_bench::fixture;
using ulma_bench::kHeight;
using ulma_bench::kPixels;
using ulma_bench::kWidth;

void count_pixels(benchmark::State& state, double bytes_per_pixel = 0) {
    const double iterations = static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(iterations * kPixels));
    if (bytes_per_pixel > 0) state.SetBytesProcessed(static_cast<std::int64_t>(iterations * kPixels * bytes_per_pixel));
    state.counters["Mpx/s"] = benchmark::Counter(kPixels * 1e-6 * iterations, benchmark::Counter::kIsRate);
}

// Settings of a run without options.
Settings default_settings(int64_t proof) {
    Settings settings;
    settings.proof = proof != 0;
    return settings;
}

// Reading the PPM input: header, pixel block, swap to blue, green, red.
void BM_PpmRead(benchmark::State& state) {
    const auto& f = fixture();
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kPixels) * 3);
    for (auto _ : state) {
        int w = 0, h = 0;
        if (!ppm_load(f.input_ppm.c_str(), w, h) || !ppm_load_rgb(f.input_ppm.c_str(), pixels, w, h)) {
            state.SkipWithError("input not readable");
        }
        rgb_bgr_img_buf_convert(pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    count_pixels(state, 3);
}
BENCHMARK(BM_PpmRead)->Unit(benchmark::kMillisecond);

// The green enhancement of every pixel on its own (no colour cache, no LUT).
void BM_GreenEnhancement(benchmark::State& state) {
    const auto& f = fixture();
    std::vector<unsigned char> out(f.bgr.size());
    for (auto _ : state) {
        for (std::size_t n = 0; n < f.bgr.size(); n += 3) {
            int b = f.bgr[n], g = f.bgr[n + 1], r = f.bgr[n + 2];
            enhance_green(r, g, b);
            out[n] = static_cast<unsigned char>(b);
            out[n + 1] = static_cast<unsigned char>(g);
            out[n + 2] = static_cast<unsigned char>(r);
        }
        benchmark::DoNotOptimize(out.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_GreenEnhancement)->Unit(benchmark::kMillisecond);

// color_enhance as a run without options uses it: LUT file read, green
// enhancement, LUT application.
void BM_ColourEnhance(benchmark::State& state) {
    const auto& f = fixture();
    const Settings settings = default_settings(0);
    std::vector<unsigned char> out(f.bgr.size());
    for (auto _ : state) {
        color_enhance(settings, kWidth, kHeight, f.bgr.data(), out.data(), f.lut_path.c_str());
        benchmark::DoNotOptimize(out.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_ColourEnhance)->Unit(benchmark::kMillisecond);

// The LUT alone: color_enhance with the green enhancement switched off.
void BM_LutApplication(benchmark::State& state) {
    const auto& f = fixture();
    Settings settings = default_settings(0);
    settings.green_enhance = 0;
    std::vector<unsigned char> out(f.bgr.size());
    for (auto _ : state) {
        color_enhance(settings, kWidth, kHeight, f.bgr.data(), out.data(), f.lut_path.c_str());
        benchmark::DoNotOptimize(out.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_LutApplication)->Unit(benchmark::kMillisecond);

// The conversion of every pixel to CIELAB (rgb2xyz, xyz2lab).
void BM_LabConversion(benchmark::State& state) {
    const auto& f = fixture();
    std::vector<double> lab(f.bgr.size());
    for (auto _ : state) {
        for (std::size_t n = 0; n < f.bgr.size(); n += 3) {
            const Lab c = lab_of_channels(conversion_tables(), f.bgr[n + 2], f.bgr[n + 1], f.bgr[n]);
            lab[n] = c.l;
            lab[n + 1] = c.a;
            lab[n + 2] = c.b;
        }
        benchmark::DoNotOptimize(lab.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_LabConversion)->Unit(benchmark::kMillisecond);

// error_diffusion_cielab on the enhanced picture: palette read, CIELAB
// conversion, gamut clip, search and error shares; argument 1 adds the
// proof colours.
void BM_Diffusion(benchmark::State& state) {
    const auto& f = fixture();
    const Settings settings = default_settings(state.range(0));
    std::vector<unsigned char> enhanced(f.bgr.size());
    color_enhance(settings, kWidth, kHeight, f.bgr.data(), enhanced.data(), f.lut_path.c_str());
    std::vector<unsigned char> proof(f.bgr.size());
    std::vector<unsigned char> indices(static_cast<std::size_t>(kPixels));
    for (auto _ : state) {
        error_diffusion_cielab(settings.proof, kWidth, kHeight, enhanced.data(), proof.data(), indices.data(),
                               f.palette_path.c_str());
        benchmark::DoNotOptimize(indices.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_Diffusion)->ArgName("proof")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Panel codes of the palette indices and the PGM file.
void BM_CodesAndPgm(benchmark::State& state) {
    const auto& f = fixture();
    ImageX = kWidth;
    ImageY = kHeight;
    std::vector<unsigned char> indices(static_cast<std::size_t>(kPixels));
    for (std::size_t n = 0; n < indices.size(); ++n) indices[n] = static_cast<unsigned char>((n * 7 / 5) % 8);
    std::vector<unsigned char> codes(f.bgr.size());
    std::vector<unsigned char> pgm(indices.size());
    for (auto _ : state) {
        ulmamap_rgb(kWidth, kHeight, indices.data(), codes.data());
        for (std::size_t n = 0; n < pgm.size(); ++n) pgm[n] = codes[n * 3];
        if (!buf_pgm_save(f.output_pgm.c_str(), pgm)) state.SkipWithError("PGM not written");
    }
    count_pixels(state, 1);
}
BENCHMARK(BM_CodesAndPgm)->Unit(benchmark::kMillisecond);

// The colour stages one after the other in memory, as a run without options
// uses them: enhancement and LUT, diffusion, panel codes.
void BM_PipelineInMemory(benchmark::State& state) {
    const auto& f = fixture();
    const Settings settings = default_settings(0);
    std::vector<unsigned char> enhanced(f.bgr.size());
    std::vector<unsigned char> proof(f.bgr.size());
    std::vector<unsigned char> indices(static_cast<std::size_t>(kPixels));
    std::vector<unsigned char> codes(f.bgr.size());
    for (auto _ : state) {
        color_enhance(settings, kWidth, kHeight, f.bgr.data(), enhanced.data(), f.lut_path.c_str());
        error_diffusion_cielab(settings.proof, kWidth, kHeight, enhanced.data(), proof.data(), indices.data(),
                               f.palette_path.c_str());
        ulmamap_rgb(kWidth, kHeight, indices.data(), codes.data());
        benchmark::DoNotOptimize(codes.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_PipelineInMemory)->Unit(benchmark::kMillisecond);

// The in-memory entry point render_picture: the stages above plus its
// copies (input swap, panel codes gathered), from red-green-blue pixels; at
// one thread and at the default count (wall time).
void BM_RenderPicture(benchmark::State& state) {
    const auto& f = fixture();
    Settings settings = default_settings(0);
    settings.threads = static_cast<int>(state.range(0));
    RenderData data;
    if (open_render_data(f.lot_dir, data).problem != OpenProblem::none) state.SkipWithError("render data not readable");
    std::vector<unsigned char> rgb(f.bgr.begin(), f.bgr.end());
    rgb_bgr_img_buf_convert(rgb);
    Rendering out;
    for (auto _ : state) {
        if (render_picture(data, settings, rgb, kWidth, kHeight, 25, out) != RenderProblem::none) {
            state.SkipWithError("render failed");
        }
        benchmark::DoNotOptimize(out.panel_codes.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_RenderPicture)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(common::default_threads())
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// my_ulma_render from the PPM file to the PGM file, at the default thread
// count; argument 1 also writes the proof image.
void BM_WholeRender(benchmark::State& state) {
    const auto& f = fixture();
    gProof = static_cast<int>(state.range(0));
    if (!open_render_data_of_run(f.lot_dir.c_str())) state.SkipWithError("render data not readable");
    {
        const ulma_bench::QuietStdout quiet;
        for (auto _ : state) {
            if (!my_ulma_render(kUlma0302, f.input_ppm.c_str(), f.output_pgm.c_str(), f.lot_dir.c_str(), 25)) {
                state.SkipWithError("render failed");
            }
        }
    }
    gProof = 0;
    count_pixels(state);
}
BENCHMARK(BM_WholeRender)->ArgName("proof")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
std::optional<Palette> parse_palette(const char* text) {
    std::string error;
    return parse_palette_text(text, "", error);
}

// The per-pixel pieces of the diffusion on independent pixels (no chain
// from one pixel to the next): the gamut clip and the palette search.
void BM_GamutClipAndSearch(benchmark::State& state) {
    const auto& f = fixture();
    const DiffusionPalette palette = prepare_palette(*parse_palette(ulma_bench::kPaletteText));
    std::vector<Lab> lab(static_cast<std::size_t>(kPixels));
    for (std::size_t n = 0; n < lab.size(); ++n) {
        lab[n] = lab_of_channels(conversion_tables(), f.bgr[n * 3 + 2], f.bgr[n * 3 + 1], f.bgr[n * 3]);
        lab[n].a += static_cast<double>(static_cast<int>(n % 13) - 6);  // as if shares had arrived
    }
    const bool search = state.range(0) != 0;
    std::vector<unsigned char> out(lab.size());
    for (auto _ : state) {
        for (std::size_t n = 0; n < lab.size(); ++n) {
            const Lab c = clip_to_gamut(conversion_tables(), lab[n]);
            out[n] = static_cast<unsigned char>(search ? nearest_entry(palette, c) : static_cast<int>(c.l));
        }
        benchmark::DoNotOptimize(out.data());
    }
    count_pixels(state);
}
BENCHMARK(BM_GamutClipAndSearch)->ArgName("search")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
}  // namespace
