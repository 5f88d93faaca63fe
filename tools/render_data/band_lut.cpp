#include <vector>

#include "tools/render_data/render_data.h"
#include "tools/lut_builder/gamut_mapping.h"
#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/lut_table.h"

namespace render_data {

std::vector<std::uint8_t> band_lut_bytes(const Palette& palette) {
    using namespace lut_builder;
    std::vector<Rgb> inks;
    for (const Lab& colour : palette) inks.push_back(rgb_from_lab(colour));
    MappingSettings settings;
    settings.space = HullSpace::cielab;
    const GamutTargetResult target = make_gamut_target(inks, kBlackEntry, kWhiteEntry, settings);
    if (!target.target) return {};
    return encode_ulma_lut(mapped_table(*target.target));
}

}  // namespace render_data
