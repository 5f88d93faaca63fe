// The one palette text reader of the renderer and the tools: eight colours
// or a refusal that names the line, never a read outside the text.
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/palette_text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto colours = common::parse_lab_colours(fuzz::as_text(fuzz::Bytes(data, size)), common::kPaletteColours,
                                                   "palette.txt", error);
    if (!colours) {
        if (error.rfind("palette.txt", 0) != 0) std::abort();  // every refusal names the file
        return FUZZ_RESULT(1);
    }
    if (colours->size() != common::kPaletteColours) std::abort();
    for (const common::LabColour& c : *colours)
        if (!std::isfinite(c.l) || !std::isfinite(c.a) || !std::isfinite(c.b)) std::abort();
    return 0;
}
