#include <vector>

#include "tools/lut_builder/lut_file.h"
#include "tools/lut_builder/palette_table.h"
#include "tools/render_data/render_data.h"

namespace render_data {

std::vector<std::uint8_t> band_lut_bytes(const Palette& palette, const lut_builder::TableChoices& choices) {
    using namespace lut_builder;
    const InkMixerResult mixer = make_palette_mixer(palette);
    if (!mixer.mixer) return {};
    return encode_ulma_lut(palette_table(*mixer.mixer, choices));
}

}  // namespace render_data
