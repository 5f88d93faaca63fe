// The target ulma_lut driving version 0301.
#define ULMA_FUZZ_VERSION kUlma0301
#include "fuzz/ulma_lut.cpp"
