// readPGM_QW of the image layer on a file of fuzzed bytes.
#include <morva6/morva6_image.h>

#include <cstdlib>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile file(fuzz::Bytes(data, size));
    std::uint8_t* image = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const int status = readPGM_QW(&image, &width, &height, file.path());
    if (status == MORVA6_IMG_OK && image == nullptr) std::abort();
    std::free(image);
    return FUZZ_RESULT(status);
}
