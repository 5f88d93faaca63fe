#include "common/rounded_maths.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace rounded {

namespace {

// Error-free transformations: a + b == s + e and a * b == p + e exactly.
constexpr Wide two_sum(double a, double b) {
    const double s = a + b;
    const double b_part = s - a;
    return {s, (a - (s - b_part)) + (b - b_part)};
}

constexpr Wide fast_two_sum(double a, double b) {  // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}

// Veltkamp's split into 26-bit halves; Dekker's exact product (for the
// magnitudes met here: no factor beyond 2^996, no product below 2^-969).
constexpr Wide split(double a) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double high = c - (c - a);
    return {high, a - high};
}

constexpr Wide two_product(double a, double b) {
    const double p = a * b;
    const Wide x = split(a);
    const Wide y = split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

constexpr Wide add(Wide a, Wide b) {
    const Wide s = two_sum(a.hi, b.hi);
    const Wide t = two_sum(a.lo, b.lo);
    Wide r = fast_two_sum(s.hi, s.lo + t.hi);
    return fast_two_sum(r.hi, r.lo + t.lo);
}

constexpr Wide multiply(Wide a, Wide b) {
    const Wide p = two_product(a.hi, b.hi);
    return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr Wide multiply(Wide a, double b) {
    const Wide p = two_product(a.hi, b);
    return fast_two_sum(p.hi, p.lo + a.lo * b);
}

constexpr Wide divide(Wide a, Wide b) {
    const double q1 = a.hi / b.hi;
    const Wide r1 = add(a, multiply(b, -q1));
    const double q2 = r1.hi / b.hi;
    const Wide r2 = add(r1, multiply(b, -q2));
    const double q3 = r2.hi / b.hi;
    return add(fast_two_sum(q1, q2), Wide{q3, 0.0});
}

constexpr Wide kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};

// log(1 + r) = 2 atanh(s), s = r / (2 + r), as 2 s (1 + z/3 + z^2/5 + ...)
// with z = s^2; `terms` terms of it.
constexpr Wide log1p_series(Wide r, int terms) {
    const Wide s = divide(r, add({2.0, 0.0}, r));
    const Wide z = multiply(s, s);
    Wide sum = divide({1.0, 0.0}, {2.0 * terms - 1.0, 0.0});
    for (int n = terms - 2; n >= 0; --n) sum = add(multiply(sum, z), divide({1.0, 0.0}, {2.0 * n + 1.0, 0.0}));
    return multiply(s, Wide{2 * sum.hi, 2 * sum.lo});
}

// log(x) for x = m 2^e, m within [1, 2): m is brought near 1 by one of 128
// factors f (the reciprocals of the centres of 128 equal steps), so that
// m f = 1 + r with |r| <= 2^-8; log m = log(1 + r) - log f.
constexpr int kLogSteps = 128;
struct LogStep {
    double factor;
    Wide log_factor;
};
constexpr auto kLogSteps_ = [] {
    std::array<LogStep, kLogSteps> table{};
    for (int i = 0; i < kLogSteps; ++i) {
        const double factor = 1.0 / (1.0 + (i + 0.5) / kLogSteps);  // within (0.5, 1)
        // log f = log(2 f) - log 2, 2 f within (1, 2): 60 terms reach 2^-110.
        const Wide log_2f = log1p_series({2.0 * factor - 1.0, 0.0}, 60);
        table[i] = {factor, add(log_2f, {-kLn2.hi, -kLn2.lo})};
    }
    return table;
}();

// exp(r) = 1 + r + r^2/2! + ... for |r| <= ln 2 / 128.
constexpr auto kFactorialReciprocals = [] {
    std::array<Wide, 33> table{};
    Wide factorial{1.0, 0.0};
    for (int n = 0; n < 33; ++n) {
        if (n > 0) factorial = multiply(factorial, static_cast<double>(n));
        table[n] = divide({1.0, 0.0}, factorial);
    }
    return table;
}();

constexpr Wide exp_series(Wide r, int terms) {
    Wide sum = kFactorialReciprocals[terms - 1];
    for (int n = terms - 2; n >= 0; --n) sum = add(multiply(sum, r), kFactorialReciprocals[n]);
    return sum;
}

// 2^(j/64) for j = 0..63, from the series at j ln 2 / 64 (up to 0.69: 33
// terms reach 2^-110).
constexpr int kSteps = 64;
constexpr auto kPowersOfTwo = [] {
    std::array<Wide, kSteps> table{};
    for (int j = 0; j < kSteps; ++j) table[j] = exp_series(multiply(kLn2, static_cast<double>(j) / kSteps), 33);
    return table;
}();

bool is_integer(double y) { return std::isfinite(y) && std::trunc(y) == y; }
bool is_odd_integer(double y) { return is_integer(y) && std::fabs(y) < 0x1p53 && std::fmod(y, 2.0) != 0.0; }

}  // namespace

Wide log_wide(double x) {
    int exponent = 0;
    const double m = 2 * std::frexp(x, &exponent);  // exact: x = m 2^(exponent - 1), m within [1, 2)
    const auto step = static_cast<int>((m - 1.0) * kLogSteps);
    const LogStep& near = kLogSteps_[step];
    // m f == p.hi + p.lo exactly, and p.hi - 1 is exact (p.hi is near 1).
    const Wide p = two_product(m, near.factor);
    const Wide r = two_sum(p.hi - 1.0, p.lo);
    // |r| <= 2^-8, so |s| <= 2^-9 and z <= 2^-18: the series from z^2 on
    // is below 2^-36 of the sum and is summed in plain doubles (z^6/13 and
    // beyond fall below 2^-108).
    const Wide s = divide(r, add({2.0, 0.0}, r));
    const Wide z = multiply(s, s);
    const double zz = z.hi;
    const double tail = zz * zz * (1.0 / 5 + zz * (1.0 / 7 + zz * (1.0 / 9 + zz * (1.0 / 11))));
    const Wide third = divide({1.0, 0.0}, {3.0, 0.0});
    const Wide series = add(add({1.0, 0.0}, multiply(z, third)), {tail, 0.0});
    const Wide log_m = add(multiply(s, Wide{2 * series.hi, 2 * series.lo}), {-near.log_factor.hi, -near.log_factor.lo});
    return add(multiply(kLn2, static_cast<double>(exponent - 1)), log_m);
}

namespace {

// exp(t) in plain doubles for t = (64 n + j) ln 2 / 64 + r: rounded and
// returned when the value before rounding lies clear of a midpoint by more
// than its error bound (all but about one in 700); 0 otherwise.
double exp_quick(Wide t, double steps, int j, int n) {
    // ln 2 / 64 as c1 + c2 (+ 2^-95): steps * c1 is exact for |steps| < 2^20,
    // and t.hi - steps * c1 is exact too (the two lie within a factor of 2).
    constexpr double c1 = 0x1.62e42ff000000p-7;
    constexpr double c2 = -0x1.718432a1b0e26p-41;
    const Wide r = two_sum(t.hi - steps * c1, t.lo - steps * c2);
    const double q = r.hi;  // |q| < 2^-7
    // exp(r) = 1 + q + q^2 p(q) + r.lo, p to q^6/8! (the rest is below 2^-75).
    double p = 1.0 / 40320;
    for (const double c : {1.0 / 5040, 1.0 / 720, 1.0 / 120, 1.0 / 24, 1.0 / 6, 0.5}) p = c + q * p;
    const Wide& power = kPowersOfTwo[j];
    // 2^(j/64) exp(r) = power.hi + power.hi q + power.hi (q^2 p + r.lo) + power.lo (1 + q)
    // (+ power.lo q^2 / 2, below 2^-69): the first product exact, the rest
    // below 2^-13 of the value and summed to 2^-66 of it.
    const Wide leading = two_product(power.hi, q);
    const Wide head = two_sum(power.hi, leading.hi);
    const double rest = (power.hi * (q * q * p + r.lo) + (power.lo + power.lo * q)) + leading.lo;
    const Wide value = fast_two_sum(head.hi, head.lo + rest);
    // value.hi is the rounding unless the exact value may lie on the other
    // side of a midpoint: |value.lo| within 2^-63 of the value (four times
    // the error above) of half a unit (the half unit below a power of two).
    std::uint64_t bits;
    std::memcpy(&bits, &value.hi, sizeof bits);
    const std::uint64_t scale_bits = bits & 0x7FF0000000000000ull;
    double scale;
    std::memcpy(&scale, &scale_bits, sizeof scale);
    const bool power_of_two = (bits & 0x000FFFFFFFFFFFFFull) == 0;
    const double half_unit = (power_of_two && value.lo < 0 ? 0x1p-54 : 0x1p-53) * scale;
    if (!(std::fabs(value.lo) < half_unit - 0x1p-63 * 2 * scale)) return 0.0;
    const auto power_bits = static_cast<std::uint64_t>(n + 1023) << 52;  // 2^n, a normal double
    double two_to_n;
    std::memcpy(&two_to_n, &power_bits, sizeof two_to_n);
    return value.hi * two_to_n;
}

}  // namespace

double exp_wide(Wide t) {
    if (std::isnan(t.hi)) return t.hi;
    if (t.hi > 709.8) return std::numeric_limits<double>::infinity();
    if (t.hi < -745.2) return 0.0;
    // t = (64 n + j) ln 2 / 64 + r, |r| <= ln 2 / 128 < 2^-7.
    const double steps = std::floor(t.hi * (kSteps / kLn2.hi) + 0.5);
    const auto k = static_cast<std::int64_t>(steps);
    const auto j = static_cast<int>(((k % kSteps) + kSteps) % kSteps);
    const auto n = static_cast<int>((k - j) / kSteps);
    if (n > -1020 && n < 1020) {  // a normal result: scaling by 2^n rounds nothing
        const double quick = exp_quick(t, steps, j, n);
        if (quick != 0.0) return quick;
    }
    const Wide r = add(t, multiply(Wide{-kLn2.hi / kSteps, -kLn2.lo / kSteps}, steps));
    // Terms from r^5/5! on are below 2^-44 and summed in plain doubles up
    // to r^11/11! (the rest is below 2^-110).
    const double q = r.hi;
    double tail = 1.0 / 39916800;
    for (const double c : {1.0 / 3628800, 1.0 / 362880, 1.0 / 40320, 1.0 / 5040, 1.0 / 720, 1.0 / 120})
        tail = c + q * tail;
    Wide sum = add(kFactorialReciprocals[4], {q * tail, 0.0});
    for (int i = 3; i >= 0; --i) sum = add(multiply(sum, r), kFactorialReciprocals[i]);
    const Wide value = multiply(kPowersOfTwo[j], sum);
    return std::ldexp(value.hi + value.lo, n);
}

double pow_from_log(Wide log_x, double y) { return exp_wide(multiply(log_x, y)); }

double pow(double x, double y) {
    if (y == 0.0 || x == 1.0) return 1.0;
    if (std::isnan(x) || std::isnan(y)) return x + y;
    if (std::isinf(y)) {
        const double magnitude = std::fabs(x);
        if (magnitude == 1.0) return 1.0;
        return (magnitude > 1.0) == (y > 0.0) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (x == 0.0 || std::isinf(x)) {
        // The power's size: 0 or infinity; its sign: x's for an odd integer y.
        const bool large = (x == 0.0) == (y < 0.0);
        const double size = large ? std::numeric_limits<double>::infinity() : 0.0;
        return std::signbit(x) && is_odd_integer(y) ? -size : size;
    }
    if (x < 0.0) {
        if (!is_integer(y)) return std::numeric_limits<double>::quiet_NaN();
        const double size = pow(-x, y);
        return is_odd_integer(y) ? -size : size;
    }
    return pow_from_log(log_wide(x), y);
}

}  // namespace rounded
