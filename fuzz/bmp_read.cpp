// BMP_read on a file of fuzzed bytes.
#include <morva6/morva6_image.h>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Bytes bytes(data, size);
    if (!fuzz::size_is_bounded(fuzz::le32_at(bytes, 18), fuzz::le32_at(bytes, 22))) return FUZZ_RESULT(fuzz::kSkipped);
    const fuzz::MemoryFile file(bytes);
    BMP bmp = new_BMP();
    const int status = BMP_read(&bmp, file.path());
    BMP_release(&bmp);
    return FUZZ_RESULT(status);
}
