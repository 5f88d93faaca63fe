// The per-pixel colour functions are built once for every processor and,
// on x86-64 with GCC, once more with fused multiply-add turned on, in the
// scheme of common/isa.h (it makes the exact cube of lab2xyz cheaper; every
// result stays the same to the bit). The functions of each build live in the inline namespace
// ULMA_COLOUR_ISA, so the builds never share a symbol.
// error_diffusion_fma.cpp defines ULMA_COLOUR_ISA as with_fma and ULMA_COLOUR_FMA
// as 1 before it includes them; every other file gets the portable build.
#pragma once

#include "common/isa.h"

#ifndef ULMA_COLOUR_ISA
#define ULMA_COLOUR_ISA portable
#define ULMA_COLOUR_FMA 0
#endif

// Whether the fused multiply-add build exists.
#define ULMA_COLOUR_FMA_BUILD COMMON_ISA_TARGET_BUILDS
