// Heap blocks of the image layer. Blocks handed to C callers are malloc'd, so
// they are held in a unique_ptr with a free-deleter until they are handed out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "common/holders.h"
#include "morva6/core/huge_pages.h"

namespace morva6 {

using common::MallocBlock;

// A zero-filled block of `size` bytes, null when it cannot be had. An empty
// picture still gets a (one-byte) block, so null always means "no memory".
inline MallocBlock allocate_zeroed(std::size_t size) {
    MallocBlock block(static_cast<std::uint8_t*>(std::calloc(std::max<std::size_t>(size, 1), 1)));
    advise_huge_pages(block.get(), size);
    return block;
}

// Reverses the order of `rows` rows of `row_bytes` bytes, in place.
inline void reverse_rows(std::uint8_t* data, std::size_t row_bytes, std::size_t rows) {
    if (row_bytes == 0) return;
    for (std::size_t top = 0, bottom = rows; top + 1 < bottom; ++top, --bottom) {
        std::swap_ranges(data + top * row_bytes, data + (top + 1) * row_bytes, data + (bottom - 1) * row_bytes);
    }
}

}  // namespace morva6
