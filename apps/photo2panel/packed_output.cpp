#include "apps/photo2panel/packed_output.h"

#include <cstdlib>
#include <memory>

#include <morva6/morva6_pack.h>

namespace photo2panel {

bool add_packed_panel(common::OutputSet& outputs, const std::string& path, const Options& options,
                      std::span<const std::uint8_t> indices, int width, int height, std::string& error) {
    const std::int32_t layout = options.format == PanelFormat::packed4          ? MORVA6_PACK_PACKED4
                                : options.format == PanelFormat::packed_indices ? MORVA6_PACK_INDICES
                                                                                : MORVA6_PACK_C_ARRAY;
    const bool mapped = !options.index_map.empty();
    std::uint8_t* block = nullptr;
    std::size_t size = 0;
    const std::int32_t status =
        morva6_pack(indices.data(), width, height, layout, mapped ? options.index_map.data() : nullptr,
                    static_cast<std::int32_t>(options.index_map.size()), nullptr, &block, &size);
    const std::unique_ptr<std::uint8_t, decltype(&std::free)> packed(block, &std::free);
    if (status != MORVA6_PACK_OK) {
        error = morva6_pack_message(status);
        return false;
    }
    outputs.add(path, "", {packed.get(), size});
    return true;
}

}  // namespace photo2panel
