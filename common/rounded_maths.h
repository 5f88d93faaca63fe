// Powers rounded to the nearest double, the same bits on every processor
// and with every C library.
//
// The C library's pow differs between machines in its last bit (even on
// one machine: x86-64 builds pick a fused multiply-add version at run time
// when the processor has it, with other roundings). These functions are
// built from additions, multiplications and divisions alone, each rounded
// as IEEE 754 prescribes (the project never lets the compiler fuse or
// reorder them), carried in double-double precision and rounded once at the
// end: the result is the exactly rounded power unless that lies within some
// 2^-90 of a midpoint between two doubles, and whatever it is, it is the
// same everywhere.
#pragma once

namespace rounded {

// A value carried as the unevaluated sum hi + lo, |lo| <= ulp(hi) / 2.
struct Wide {
    double hi;
    double lo;
};

// log(x) for a finite x > 0, to about 2^-100 of its size.
Wide log_wide(double x);

// exp(t.hi + t.lo), rounded once to the nearest double; 0 below the
// smallest normal double, infinity beyond the largest.
double exp_wide(Wide t);

// x^y, for every double x and y, with pow's results for the special cases
// (x or y zero, one, infinite or NaN; a negative x with an integer y).
double pow(double x, double y);

// x^y from log_wide(x): the same result as pow(x, y) for a finite x > 0,
// for callers that raise few x to many y.
double pow_from_log(Wide log_x, double y);

}  // namespace rounded
