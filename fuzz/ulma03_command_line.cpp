// The target ulma_command_line driving version 0301.
#define ULMA_FUZZ_VERSION kUlma0301
#include "fuzz/ulma_command_line.cpp"
