// Run settings and tables of the renderer: process-wide, written by the
// command line before the pipeline runs and only read by it.
#pragma once

#include <cstdint>

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
inline constexpr int kTempTableSize = 30;

extern char gLotName[kLotNameSize];
extern char gLotCodeVer[kLotCodeVerSize];
extern int gTempTable[kTempTableSize];
extern int gTempRange;
