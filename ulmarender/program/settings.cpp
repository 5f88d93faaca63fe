#include "ulmarender/program/settings.h"

#include <algorithm>

#include "common/threads.h"

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

ulma::Settings settings_of_run(const UlmaVersion& version, std::uint32_t seed) {
    ulma::Settings settings;
    settings.stages = version.stages;
    settings.proof = gProof == 1;
    settings.preprocess = gPreprocess == 1;
    settings.hue_offset = gHue_offset;
    settings.sat_offset = gSat_offset;
    settings.light_offset = gLight_offset;
    settings.contrast = gContrast;
    settings.green_enhance = gGreen_enhance;
    settings.mode = gMode;
    settings.noise_range = gNoise_range;
    settings.seed = seed;
    settings.threads = common::default_threads();
    return settings;
}

ulma::RenderData render_data_of_run(const char* dir) {
    ulma::RenderData data;
    data.dir = dir;
    data.lot_name = gLotName;
    data.code_version = gLotCodeVer;
    std::copy(std::begin(gTempTable), std::end(gTempTable), data.temps.bounds.begin());
    data.temps.range = gTempRange;
    return data;
}
