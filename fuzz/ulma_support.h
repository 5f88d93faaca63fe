// Helpers of the renderer's fuzz targets: the version a target drives
// (0302, unless its source defines ULMA_FUZZ_VERSION as kUlma0301 and
// includes the 0302 target's source), resetting the run settings between
// inputs, and a render-data directory to render with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ulmarender/program/settings.h"
#include "ulmarender/program/version.h"

#ifndef ULMA_FUZZ_VERSION
#define ULMA_FUZZ_VERSION kUlma0302
#endif

namespace fuzz {

// The settings as a fresh process has them.
inline void reset_run_settings() {
    gProof = 0;
    gPreprocess = 0;
    gHue_offset = 0.0;
    gSat_offset = 0.0;
    gLight_offset = 0.0;
    gContrast = 0.0;
    gGreen_enhance = 0.75;
    gMode = 1;
    gNoise_range = -1;
    ImageX = 0;
    ImageY = 0;
    std::fill(std::begin(gLotName), std::end(gLotName), '\0');
    std::fill(std::begin(gLotCodeVer), std::end(gLotCodeVer), '\0');
    std::fill(std::begin(gTempTable), std::end(gTempTable), 0);
    gTempRange = 0;
}

// Name of the render-data directory made by make_render_data: lot name
// ULMA_FZ01_TC, code version 03, file base ULMA_FZ01.
inline constexpr const char* kLotDirectory = "ULMA_FZ01_TC_03";

// A LUT whose every entry is the centre of its own cell.
inline std::string identity_lut() { return test_support::identity_table(false) + std::string(3, '\0'); }

// A render-data directory inside `parent` with two temperature bands,
// -10 to 20 and 20 to 60 degrees, each with the identity LUT and a palette
// of eight distinct colours. Returns its path.
inline std::filesystem::path make_render_data(const std::filesystem::path& parent) {
    const std::filesystem::path dir = parent / kLotDirectory;
    std::filesystem::create_directories(dir);
    std::string waveform(64, '\0');
    waveform[38] = 1;
    waveform[48] = static_cast<char>(-10);
    waveform[49] = 20;
    waveform[50] = 60;
    write_file(dir / "ULMA_FZ01_TC.wbf", waveform);
    const std::string lut = identity_lut();
    const std::string palette = "12 0 0\n80 0 0\n50 60 40\n60 -50 40\n40 20 -60\n85 -5 80\n55 40 60\n30 10 -20\n";
    for (const char* band : {"-10Cto20C", "20Cto60C"}) {
        write_file(dir / (std::string("ULMA_FZ01_lut_") + band + "_03.bin"), lut);
        write_file(dir / (std::string("ULMA_FZ01_data_") + band + "_03.bin"), palette);
    }
    return dir;
}

}  // namespace fuzz
