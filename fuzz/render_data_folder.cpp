// The render-data folder as the library opens it: the first 80 bytes are
// the waveform file, the rest the palette data file of the band of 25
// degrees (the band's LUT is absent); then a small picture is rendered with
// it when the folder holds a palette.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "ulmarender/engine/render_data.h"
#include "ulmarender/engine/render_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchDirectory scratch;
    const std::filesystem::path folder = scratch.path() / "FZ_LOT_TC_03";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const fuzz::Bytes bytes(data, size);
    const std::size_t waveform = std::min<std::size_t>(size, 80);
    fuzz::write_file(folder / "FZ_LOT_TC.wbf", fuzz::as_text(bytes.first(waveform)));
    ulma::RenderData render_data;
    if (ulma::open_render_data(folder.string(), render_data).problem != ulma::OpenProblem::none) return FUZZ_RESULT(1);
    fuzz::write_file(ulma::band_file_path(render_data, ulma::BandFile::palette_data, 25),
                     fuzz::as_text(bytes.subspan(waveform)));
    constexpr int kWidth = 4;
    constexpr int kHeight = 3;
    std::vector<unsigned char> rgb(kWidth * kHeight * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>(i * 41);
    ulma::Settings settings;
    settings.proof = true;
    ulma::Rendering rendering;
    const ulma::RenderProblem problem =
        ulma::render_picture(render_data, settings, rgb, kWidth, kHeight, 25, rendering);
    if (problem == ulma::RenderProblem::palette_missing) return FUZZ_RESULT(2);
    if (problem != ulma::RenderProblem::none) std::abort();
    if (rendering.panel_codes.size() != kWidth * kHeight || rendering.proof_rgb.size() != rgb.size()) std::abort();
    for (const unsigned char code : rendering.panel_codes)
        if (code % 8 != 0 || code > 56) std::abort();  // one of the eight codes times 8
    return 0;
}
