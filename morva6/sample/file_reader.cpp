#include "morva6/sample/file_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/bounded_read.h"
#include "common/holders.h"

namespace {

// Length of an open file, or -1 when it cannot be told (a pipe, a
// directory) or does not fit a signed 32-bit count. Leaves the file at its
// start.
long fileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return length >= 0 && length <= INT32_MAX ? length : -1;
}

}  // namespace

std::int32_t readBinaryFile_QW(const char* path, std::uint8_t** buffer, std::int32_t* size) {
    *buffer = nullptr;
    // Opened without waiting on a pipe; a folder, a pipe or a device is no
    // LUT file (its length cannot be told, or it never ends).
    std::string problem;
    bool opened = false;
    const common::File file(common::open_regular_file(path, problem, opened));
    if (!file && opened) {
        std::printf("ERROR: The LUT file %s is not a regular file \n", path);
        return -1;
    }
    if (!file) {
        std::printf("ERROR: Failed to open LUT file %s \n", path);
        return -1;
    }
    const long length = fileLength(file.get());
    // One byte more than needed, so an empty file still gets a real block.
    common::MallocBlock block(
        length >= 0 ? static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(length) + 1)) : nullptr);
    if (!block ||
        std::fread(block.get(), 1, static_cast<std::size_t>(length), file.get()) != static_cast<std::size_t>(length)) {
        std::printf("ERROR: Failed to read LUT file %s \n", path);
        return -1;
    }
    *size = static_cast<std::int32_t>(length);
    *buffer = block.release();
    return 0;
}
