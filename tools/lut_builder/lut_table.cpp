#include "tools/lut_builder/lut_table.h"

#include <algorithm>
#include <cmath>

#include "tools/lut_builder/flat_inks.h"
#include "tools/lut_builder/kernel_rounding.h"

namespace lut_builder {
namespace {

std::uint8_t to_byte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::floor(value + 0.5), 0.0, 255.0));
}

}  // namespace

Rgb8 to_bytes(Rgb colour) { return {to_byte(colour.r), to_byte(colour.g), to_byte(colour.b)}; }

Rgb to_rgb(Rgb8 colour) { return {double(colour.r), double(colour.g), double(colour.b)}; }

std::vector<Rgb8> identity_table() {
    return fill_table([](Rgb8 input) { return input; });
}

std::vector<Rgb8> mixing_table(const InkMixer& mixer, const TableChoices& choices) {
    std::vector<Lab> inks;
    for (const LinearRgb& ink : mixer.light) inks.push_back(lab_from_xyz(xyz_from_linear(ink)));
    std::vector<FlatAnchor> anchors;
    if (choices.flat_inks) anchors = ink_anchors(inks, mixer.engine, mixer.black, mixer.white);
    RoundingBias rounding;
    if (choices.method != 0) {
        std::vector<Rgb8> engine_inks;
        for (const Rgb& ink : mixer.engine) engine_inks.push_back(to_bytes(ink));
        rounding = measure_rounding(mixer, engine_inks, choices.method);
    }
    return fill_table([&](Rgb8 input) {
        const LinearRgb wanted = linear_from_rgb(to_rgb(input));
        const Rgb target = engine_target_for(mixer, choices.tone_map ? tone_mapped(mixer, wanted) : wanted);
        if (choices.method != 0) {
            const Rgb entry = compensate_rounding(rounding, target);
            return to_bytes(anchors.empty() ? entry : with_flat_inks(anchors, lab_from_rgb(to_rgb(input)), entry));
        }
        // Near an ink the lift fades out, so areas of one ink stay clean.
        double nearest = kRoundingTaper;
        for (const Rgb& ink : mixer.engine)
            nearest = std::min(nearest, std::max({std::fabs(target.r - ink.r), std::fabs(target.g - ink.g),
                                                  std::fabs(target.b - ink.b)}));
        const double lift = kRoundingLift * nearest / kRoundingTaper;
        const Rgb lifted{target.r + lift, target.g + lift, target.b + lift};
        return to_bytes(anchors.empty() ? lifted : with_flat_inks(anchors, lab_from_rgb(to_rgb(input)), lifted));
    });
}

}  // namespace lut_builder
