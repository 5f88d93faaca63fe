// Whole-file reader with which the sample driver loads the LUT file.
#pragma once

#include <cstdint>

// Reads the file at `path` into a new block allocated with malloc, which the
// caller owns and releases with free. On success returns 0 with the block in
// *buffer and its length in *size. Returns -1 after printing a message when
// the file cannot be opened (then *size is left unchanged) or cannot be read
// whole; *buffer is null after any failure.
std::int32_t readBinaryFile_QW(const char* path, std::uint8_t** buffer, std::int32_t* size);
