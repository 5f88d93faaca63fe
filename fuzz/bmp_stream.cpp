// readBMP_QW on a file of fuzzed bytes; the first byte chooses the stream
// format (-1 to 10) and the row order.
#include <morva6/morva6_image.h>

#include <cstdlib>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Front front(fuzz::Bytes(data, size));
    const std::uint8_t choice = front.byte();
    const std::int32_t format = choice % 12 - 1;
    const std::uint8_t flip = choice >> 7;
    const fuzz::Bytes file_bytes = front.rest();
    if (!fuzz::size_is_bounded(fuzz::le32_at(file_bytes, 18), fuzz::le32_at(file_bytes, 22)))
        return FUZZ_RESULT(fuzz::kSkipped);
    const fuzz::MemoryFile file(file_bytes);
    std::uint8_t* stream = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const int status = readBMP_QW(&stream, &width, &height, file.path(), format, flip);
    std::free(stream);
    return FUZZ_RESULT(status);
}
