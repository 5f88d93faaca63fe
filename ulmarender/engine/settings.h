// The settings of one rendering, passed by value: which stages run and with
// what amounts. The defaults are those of a run without options.
#pragma once

#include <cstdint>

namespace ulma {

// The stages that differ between the two versions of the renderer.
struct StageSet {
    bool adjustments;           // saturation/lightness offsets and noise before the enhancement
    bool green_enhance_always;  // the green enhancement ignores Settings::green_enhance
};
inline constexpr StageSet kStages0302{.adjustments = true, .green_enhance_always = false};
inline constexpr StageSet kStages0301{.adjustments = false, .green_enhance_always = true};

struct Settings {
    StageSet stages = kStages0302;
    bool proof = false;         // also give the proof colours
    bool preprocess = false;    // run the HSL/HSV adjustment (with the offsets below)
    double hue_offset = 0.0;    // degrees
    double sat_offset = 0.0;    // percent
    double light_offset = 0.0;  // percent
    double contrast = 0.0;
    double green_enhance = 0.75;  // the green enhancement runs when above 0
    int mode = 1;                 // adjustment in HSL (1, 3) or HSV (2, 4)
    int noise_range = -1;         // width of the random noise per pixel; none when 0 or below
    std::uint32_t seed = 1;       // of the noise: the same seed gives the same noise
    int threads = 1;              // at most this many threads per picture; the bytes do not depend on it
};

// Whether the adjustment runs: either offset is not 0 (a NaN counts as not 0).
inline bool offsets_set(double sat_offset, double light_offset) { return sat_offset != 0.0 || light_offset != 0.0; }

}  // namespace ulma
