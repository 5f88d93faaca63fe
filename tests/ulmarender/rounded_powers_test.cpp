// The powers of common/rounded_maths.h: exactly rounded where the C
// library's pow is a unit off, pow's special cases, and the same bits on
// every machine over the arguments the renderers raise.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "common/rounded_maths.h"
#include "tests/support/support.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Expected values are the exact powers rounded to the nearest double
// (worked out in 60-digit decimal arithmetic); the first four are the ones
// the C library of the x86-64 builds rounds the wrong way.
TEST(RoundedPowers, ExactlyRoundedAndSpecialCases) {
    struct Case {
        double x, y, power;
    };
    const Case cases[] = {
        {0x1.81dd9ad8826c2p-2, 3.0, 0x1.b653c2b151f87p-5},
        {0x1.e67c5a5c63ebap-2, 0x1.050b2751a8abep+1, 0x1.c0e24c86f6794p-3},
        {0x1.10194f2d2d1cdp-3, 0x1.0b08684166642p+1, 0x1.e60e19ffb82bbp-7},
        {0x1.eccd8073402e8p-2, 0x1.44a13bc9ce74ap+0, 0x1.951000b672caap-2},
        {0.75, 1.0 / 2.4, 0x1.c629d60f8c2e2p-1},
        {1.5, 1.0 / 3.0, 0x1.250bfe1b082f5p+0},
        {200.0 / 255.0, 0.45, 0x1.caf9f6ea7dbc3p-1},
        {1e-300, 0.5, 0x1.a2fe76a3f9475p-499},  // far exponents
        {7.0, 300.0, 0x1.2763cf89c12d4p+842},
        // Exact powers stay exact; 262143^3 lies halfway: ties go to even.
        {0.5, 3.0, 0.125},
        {4.0, 0.5, 2.0},
        {2.0, -10.0, 0x1p-10},
        {0.3, 1.0, 0.3},
        {262143.0, 3.0, 0x1.fffe80006p+53},
        // Special cases as pow has them.
        {0.0, 2.0, 0.0},
        {-0.0, 3.0, -0.0},
        {0.0, -1.0, kInf},
        {-2.0, 3.0, -8.0},
        {-2.0, 2.0, 4.0},
        {kInf, 2.0, kInf},
        {kInf, -2.0, 0.0},
        {0.5, kInf, 0.0},
        {2.0, -kInf, 0.0},
        {-1.0, kInf, 1.0},
        {1.0, std::nan(""), 1.0},
        {std::nan(""), 0.0, 1.0},
        {2.0, 1100.0, kInf},
        {0.5, 1100.0, 0.0},
    };
    for (const Case& c : cases) {
        const double power = rounded::pow(c.x, c.y);
        EXPECT_EQ(power, c.power) << std::hexfloat << c.x << " ^ " << c.y << " = " << power;
        EXPECT_EQ(std::signbit(power), std::signbit(c.power)) << c.x << " ^ " << c.y;
    }
    EXPECT_TRUE(std::isnan(rounded::pow(-2.0, 0.5)));
    EXPECT_TRUE(std::isnan(rounded::pow(std::nan(""), 2.0)));
}

// The bits of 300000 powers over the arguments the renderers raise (a
// channel fraction to a gamma, the colour-table exponents, a value beyond
// the tables to 1/3 and 1/2.4), against those of the x86-64 build. On
// x86-64 with the GNU C library, each also lies within a unit of pow's.
TEST(RoundedPowers, SameBitsOnEveryMachine) {
    test_support::Random random(23);
    test_support::Hash hash;
    const double exponents[] = {1.0 / 3.0, 1.0 / 2.4, 2.4};
    for (int n = 0; n < 300000; ++n) {
        const double x = (n % 3 == 2 ? 1.0 : 0.0) + (random.next() + 0.5) / 4294967296.0;
        const double y = n % 3 == 0 ? 0.01 + random.below(1000) / 100.0 : exponents[random.below(3)];
        const double power = rounded::pow(x, y);
        std::int64_t bits;
        std::memcpy(&bits, &power, sizeof bits);
        hash.add_number(bits);
#if defined(__x86_64__) && defined(__GLIBC__)
        const double library = std::pow(x, y);
        ASSERT_TRUE(power == library || std::nextafter(library, power) == power)
            << std::hexfloat << x << " ^ " << y << ": " << power << ", pow " << library;
#endif
    }
    EXPECT_EQ(hash.value(), 5509958660907440296ull);
}

}  // namespace
