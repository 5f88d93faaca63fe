#include "tools/lut_builder/flat_inks.h"

#include <algorithm>

namespace lut_builder {

double flat_weight(double distance) {
    const double t = std::clamp((kFlatReach - distance) / (kFlatReach - kFlatCore), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

Rgb with_flat_inks(std::span<const FlatAnchor> anchors, Lab colour, Rgb mixing) {
    double weight = 0.0;
    Rgb entry;
    for (const FlatAnchor& anchor : anchors) {
        const double w = flat_weight(delta_e2000(colour, anchor.colour));
        if (w > weight) {
            weight = w;
            entry = anchor.entry;
        }
    }
    if (weight >= 1.0) return entry;
    return {weight * entry.r + (1.0 - weight) * mixing.r, weight * entry.g + (1.0 - weight) * mixing.g,
            weight * entry.b + (1.0 - weight) * mixing.b};
}

std::vector<FlatAnchor> ink_anchors(std::span<const Lab> inks, std::span<const Rgb> entries, std::size_t black,
                                    std::size_t white) {
    std::vector<FlatAnchor> anchors;
    for (std::size_t i = 0; i < inks.size(); ++i) anchors.push_back({inks[i], entries[i]});
    anchors.push_back({{0.0, 0.0, 0.0}, entries[black]});
    anchors.push_back({{100.0, 0.0, 0.0}, entries[white]});
    return anchors;
}

}  // namespace lut_builder
