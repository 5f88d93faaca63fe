// Puts the sample driver's run settings back to their initial values, so
// that the tests and the fuzz target can parse many command lines in one
// process (the program itself parses one).
#pragma once

#include "morva6/sample/settings.h"

inline void resetSettings() {
    INPUT_IMAGE_PATH = OUTPUT_IMAGE_PATH = LUT_PATH = nullptr;
    DITHER = 5;
    MODE = 1;
    TFT_mode = HUE = SATURATION = BRIGHTNESS = CONTRAST = 0;
    GAMMA = 1.0;
}
