// Run settings of the sample driver: process-wide, written only by
// processArguments and read by main.
#pragma once

#include <cstdint>

// Paths point at the argument strings themselves; null until given.
extern const char* INPUT_IMAGE_PATH;
extern const char* OUTPUT_IMAGE_PATH;
extern const char* LUT_PATH;

// Library dithering code 0..5 (command-line value minus one); 5 is Stucki
// serpentine. -1 marks a command-line value outside 1..6.
extern std::int32_t DITHER;
// Library output mode 1..3.
extern std::int32_t MODE;
// TFT format transfer mode 0..5; 0 means none.
extern std::int32_t TFT_mode;
extern std::int32_t HUE;         // 0..360
extern std::int32_t SATURATION;  // -100..100
extern std::int32_t BRIGHTNESS;  // -100..100
extern std::int32_t CONTRAST;    // -100..100
extern double GAMMA;             // 0.0..2.0; 1.0 is neutral
