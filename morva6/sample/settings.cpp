#include "morva6/sample/settings.h"

const char* INPUT_IMAGE_PATH = nullptr;
const char* OUTPUT_IMAGE_PATH = nullptr;
const char* LUT_PATH = nullptr;
std::int32_t DITHER = 5;
std::int32_t MODE = 1;
std::int32_t TFT_mode = 0;
std::int32_t HUE = 0;
std::int32_t SATURATION = 0;
std::int32_t BRIGHTNESS = 0;
std::int32_t CONTRAST = 0;
double GAMMA = 1.0;
