#include "tools/render_data/render_data.h"

#include "common/formats/render_data_layout.h"

namespace render_data {

std::vector<std::uint8_t> waveform_bytes(std::span<const int> boundaries) {
    std::vector<std::uint8_t> bytes(kWaveformBytes, 0);
    using namespace common::render_data;
    bytes[kBandCountOffset] = static_cast<std::uint8_t>(boundaries.size() - 2);
    for (std::size_t i = 0; i < boundaries.size(); ++i) {
        bytes[kBoundariesOffset + i] = static_cast<std::uint8_t>(static_cast<std::int8_t>(boundaries[i]));
    }
    return bytes;
}

LotNames lot_names(const std::string& lot_directory) {
    LotNames names;
    names.lot_name = lot_directory.substr(0, lot_directory.size() - 3);
    names.version = lot_directory.substr(lot_directory.size() - 2);
    names.base = names.lot_name.substr(0, names.lot_name.size() - 3);
    return names;
}

}  // namespace render_data
