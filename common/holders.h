// RAII holders for C resources, one of each for the whole project:
// FileCloser closes a std::FILE*, FreeDeleter frees a malloc'd block.
//
//   common::File file(std::fopen(path, "rb"));          // closed on every return
//   common::MallocBlock block(static_cast<std::uint8_t*>(std::malloc(n)));
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace common {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
// A malloc'd byte block, for blocks handed to or taken from C callers.
using MallocBlock = std::unique_ptr<std::uint8_t[], FreeDeleter>;

}  // namespace common
