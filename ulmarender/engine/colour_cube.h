// pow(v, 3.0) of the C library, without its cost in the common case.
//
// Before its final rounding, the library's pow is within about 0.01 ulp of
// the exact result for the arguments handled here (x between 2^-20 and 2^20,
// y = 3: its exp part is accurate to 0.509 ulp, its log part adds some
// 2^-68 |y log x|; the worst seen over 2e8 random cubes is 0.0087 ulp). So
// its result is the correctly rounded cube whenever the exact cube lies more
// than 0.02 ulp from a midpoint between two doubles. The exact cube is formed
// here as an unevaluated sum (Dekker products: nothing is rounded away);
// when it lies within 0.48 ulp of its nearest double, that double is the
// correctly rounded cube and the only result pow can give. Otherwise (and
// for other magnitudes, zero, non-finite values or a result at a power of
// two) pow itself is called, so the result is always bit for bit that of
// pow; about one cube in 25 takes that way.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "ulmarender/engine/colour_isa.h"

namespace ulma {

inline namespace ULMA_COLOUR_ISA {

namespace cube_detail {

struct Split {
    double high;
    double low;
};

// Veltkamp split: high holds the upper 26 bits, high + low == a exactly.
inline Split split(double a) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double high = c - (c - a);
    return {high, a - high};
}

// a * b == product + returned error exactly (no overflow or underflow).
inline double product_error(double a, double b, double product) {
#if ULMA_COLOUR_FMA
    return std::fma(a, b, -product);  // one rounding of an exact value: the same error
#else
    const Split x = split(a);
    const Split y = split(b);
    return ((x.high * y.high - product) + x.high * y.low + x.low * y.high) + x.low * y.low;
#endif
}

inline std::uint64_t bits_of(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace cube_detail

inline double cube_as_pow(double v) {
    using namespace cube_detail;
    const double magnitude = std::fabs(v);
    if (!(magnitude > 0x1p-20 && magnitude < 0x1p20)) return std::pow(v, 3.0);
    const double square = v * v;
    const double square_error = product_error(v, v, square);
    const double cube = square * v;
    const double cube_error = product_error(square, v, cube);
    // v^3 == cube + cube_error + square_error * v exactly; the last product
    // is some 2^-53 of the cube, so its rounding does not matter here.
    const double tail = cube_error + square_error * v;
    const double nearest = cube + tail;
    const double residual = (cube - nearest) + tail;  // v^3 - nearest
    const std::uint64_t bits = bits_of(nearest);
    const std::uint64_t exponent = (bits >> 52) & 0x7FF;
    const bool power_of_two = (bits & 0xFFFFFFFFFFFFFull) == 0;
    if (power_of_two) return std::pow(v, 3.0);
    const std::uint64_t ulp_bits = (exponent - 52) << 52;
    double ulp;
    std::memcpy(&ulp, &ulp_bits, sizeof ulp);
    if (std::fabs(residual) <= 0.48 * ulp) return nearest;
    return std::pow(v, 3.0);
}

}  // namespace ULMA_COLOUR_ISA

}  // namespace ulma
