// Instruction-set builds, one scheme for both engines. A hot loop is
// compiled once for every x86-64 processor and, with GCC, once more in a
// source file of its own that turns an extension on with
// `#pragma GCC target`. The code of each build lives in an inline namespace
// named by a macro that the build's file defines before it includes the loop
// headers, so the builds never share a symbol; the caller picks the build at
// run time with common::isa::supports. The builds give the same bytes.
#pragma once

// Whether the extra builds exist (they need GCC's target pragma).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define COMMON_ISA_TARGET_BUILDS 1
#else
#define COMMON_ISA_TARGET_BUILDS 0
#endif

namespace common::isa {

enum class Extension { sse41, fma };

// Whether this processor has `extension` (always false without the extra
// builds). Each answer is found once.
inline bool supports(Extension extension) {
#if COMMON_ISA_TARGET_BUILDS
    static const bool sse41 = __builtin_cpu_supports("sse4.1") != 0;
    static const bool fma = __builtin_cpu_supports("fma") != 0;
    return extension == Extension::sse41 ? sse41 : fma;
#else
    static_cast<void>(extension);
    return false;
#endif
}

}  // namespace common::isa
