// Run settings and tables of the program: process-wide, written by the
// command line before the pipeline runs and only read by it. The engine
// takes them as values (settings_of_run, render_data_of_run).
#pragma once

#include <cstdint>

#include "ulmarender/engine/render_data.h"
#include "ulmarender/engine/settings.h"
#include "ulmarender/program/version.h"

// Version 0301 uses only gProof of the run settings (see version.h).
extern int gProof;
extern int gPreprocess;
extern double gHue_offset;
extern double gSat_offset;
extern double gLight_offset;
extern double gContrast;
extern double gGreen_enhance;
extern int gMode;
extern int gNoise_range;

extern std::uint32_t ImageX;
extern std::uint32_t ImageY;

inline constexpr int kLotNameSize = 100;
inline constexpr int kLotCodeVerSize = 10;
inline constexpr int kTempTableSize = ulma::kTempTableSize;

extern char gLotName[kLotNameSize];
extern char gLotCodeVer[kLotCodeVerSize];
extern int gTempTable[kTempTableSize];
extern int gTempRange;

// The run settings above as the engine takes them, with the stages of
// `version` and the noise seeded by `seed`.
ulma::Settings settings_of_run(const UlmaVersion& version, std::uint32_t seed);

// The lot name and temperature table above, with the folder `dir`.
ulma::RenderData render_data_of_run(const char* dir);
