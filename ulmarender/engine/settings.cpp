#include "ulmarender/engine/settings.h"

int gProof = 0;
int gPreprocess = 0;
double gHue_offset = 0.0;
double gSat_offset = 0.0;
double gLight_offset = 0.0;
double gContrast = 0.0;
double gGreen_enhance = 0.75;
int gMode = 1;
int gNoise_range = -1;

std::uint32_t ImageX = 0;
std::uint32_t ImageY = 0;

char gLotName[kLotNameSize] = {};
char gLotCodeVer[kLotCodeVerSize] = {};
int gTempTable[kTempTableSize] = {};
int gTempRange = 0;
