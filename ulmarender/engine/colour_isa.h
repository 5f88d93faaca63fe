// The per-pixel colour functions are built once for every processor and,
// on x86-64 with GCC, once more with fused multiply-add turned on (it makes
// the exact cube of lab2xyz cheaper; every result stays the same to the
// bit). The functions of each build live in the inline namespace
// ULMA_COLOUR_ISA, so the builds never share a symbol.
// error_diffusion_fma.cpp defines ULMA_COLOUR_ISA as with_fma and ULMA_COLOUR_FMA
// as 1 before it includes them; every other file gets the portable build.
#pragma once

#ifndef ULMA_COLOUR_ISA
#define ULMA_COLOUR_ISA portable
#define ULMA_COLOUR_FMA 0
#endif

// Whether the fused multiply-add build exists (it needs GCC's target pragma).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ULMA_COLOUR_FMA_BUILD 1
#else
#define ULMA_COLOUR_FMA_BUILD 0
#endif
