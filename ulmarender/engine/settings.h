// Run settings and tables of the renderer: process-wide, written by the
// command line before the pipeline runs and only read by it.
#pragma once

#include <cstdint>

// The build defines ULMA_IS_0301 as 0 for ulmarender (version 0302) and as 1
// for ulmarender03 (version 0301), which has fewer settings and stages.
#ifndef ULMA_IS_0301
#error "ULMA_IS_0301 must be defined by the build"
#endif

extern int gProof;
#if !ULMA_IS_0301
extern int gPreprocess;
extern double gHue_offset;
extern double gSat_offset;
extern double gLight_offset;
extern double gContrast;
extern double gGreen_enhance;
extern int gMode;
extern int gNoise_range;
#endif

extern std::uint32_t ImageX;
extern std::uint32_t ImageY;

inline constexpr int kLotNameSize = 100;
inline constexpr int kLotCodeVerSize = 10;
inline constexpr int kTempTableSize = 30;

extern char gLotName[kLotNameSize];
extern char gLotCodeVer[kLotCodeVerSize];
extern int gTempTable[kTempTableSize];
extern int gTempRange;
