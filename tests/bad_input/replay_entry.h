// One fuzz target as the replay test sees it: its name (the folder of its
// corpus) and its entry function.
#pragma once

#include <cstddef>
#include <cstdint>

struct ReplayEntry {
    const char* name;
    int (*run)(const std::uint8_t* data, std::size_t size);
};
