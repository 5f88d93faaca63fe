// The sample driver's LUT loading: readBinaryFile_QW on a file of fuzzed
// bytes, Ovex_Morva6_render_init on what it read, and, when that succeeds,
// a render of a small fixed picture with the new palette and table.
// Byte 0: bit 0 repeats the file bytes up to a whole LUT file; byte 1 the
// dithering method, byte 2 the output mode; the rest is the file.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/holders.h"
#include "fuzz/fuzz_support.h"
#include "morva6/morva6.h"
#include "morva6/sample/file_reader.h"

namespace {

using common::FreeDeleter;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The library keeps pointing into the block installed last, so it is
    // only released once a newer one has replaced it.
    static std::unique_ptr<std::uint8_t, FreeDeleter> installed;

    fuzz::Front front(fuzz::Bytes(data, size));
    const std::uint8_t flags = front.byte();
    const std::int32_t method = front.byte() % 7;  // 6 is no method
    const std::int32_t mode = front.byte() % 5;    // 0 and 4 are no mode
    std::string bytes(fuzz::as_text(front.rest()));
    if ((flags & 1) != 0 && !bytes.empty()) {
        const std::size_t whole = OVEX_LUT_FILE_SIZE;
        while (bytes.size() < whole) bytes.append(bytes, 0, std::min(bytes.size(), whole - bytes.size()));
    }
    const fuzz::MemoryFile file(fuzz::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));

    std::uint8_t* block = nullptr;
    std::int32_t length = -1;
    if (readBinaryFile_QW(file.path(), &block, &length) != 0) {
        if (block != nullptr) std::abort();
        return FUZZ_RESULT(1);
    }
    std::unique_ptr<std::uint8_t, FreeDeleter> read(block);
    if (length != static_cast<std::int32_t>(bytes.size())) std::abort();
    if (const int status = Ovex_Morva6_render_init(read.get(), length); status != OVEX_OK) return FUZZ_RESULT(status);
    installed = std::move(read);

    constexpr std::int32_t kWidth = 7;
    constexpr std::int32_t kHeight = 5;
    std::vector<std::uint8_t> picture(kWidth * kHeight * 3);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 41);
    std::vector<std::uint8_t> output(picture.size());
    return FUZZ_RESULT(Ovex_Morva6_render(picture.data(), 1, output.data(), 1, kWidth, kHeight, method, mode));
}
