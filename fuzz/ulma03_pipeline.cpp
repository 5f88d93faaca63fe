// The target ulma_pipeline driving version 0301.
#define ULMA_FUZZ_VERSION kUlma0301
#include "fuzz/ulma_pipeline.cpp"
