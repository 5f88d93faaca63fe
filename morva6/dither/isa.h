// The error-diffusion engines are built once for every x86-64 processor
// (SSE2) and, where the compiler allows, once more for processors with
// SSE4.1 (the scheme of common/isa.h); dithering.cpp picks one at run time. The parts that differ between
// the builds live in the inline namespace
// morva6::diffusion::MORVA6_DIFFUSION_ISA, so the builds never share a
// symbol. dithering_sse41.cpp defines MORVA6_DIFFUSION_ISA as sse41 and
// MORVA6_DIFFUSION_SSE41 as 1 (and turns the instruction set on) before
// including the engine headers; every other file gets the baseline.
#pragma once

#include "common/isa.h"

#ifndef MORVA6_DIFFUSION_ISA
#define MORVA6_DIFFUSION_ISA baseline
#define MORVA6_DIFFUSION_SSE41 0
#endif

// Whether the SSE4.1 build exists.
#define MORVA6_DIFFUSION_SSE41_BUILD COMMON_ISA_TARGET_BUILDS
