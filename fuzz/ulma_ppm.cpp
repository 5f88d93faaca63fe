// The renderer's PPM reader: the header pass, then the pixel pass into a
// buffer of the size the header gave.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "ulmarender/program/ppm_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile file(fuzz::Bytes(data, size));
    int width = 0;
    int height = 0;
    if (!ppm_load(file.path(), width, height)) return FUZZ_RESULT(1);
    if (!fuzz::size_is_bounded(width, height)) return FUZZ_RESULT(fuzz::kSkipped);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    return FUZZ_RESULT(ppm_load_rgb(file.path(), pixels, width, height) ? 0 : 2);
}
