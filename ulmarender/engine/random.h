// The noise's random numbers: the sequence the GNU C library's rand()
// gives after srand(seed) (its additive feedback generator, x[i] = x[i-3] +
// x[i-31], seeded by the minimal standard generator), but held by the
// caller, so that renderings in several threads neither share nor disturb
// one another's numbers.
#pragma once

#include <array>
#include <cstdint>

namespace ulma {

class SeededRandom {
  public:
    explicit SeededRandom(std::uint32_t seed);

    // The next number, 0 to 2^31 - 1.
    int next();

  private:
    std::array<std::uint32_t, 34> state_{};
    int front_ = 0;
};

}  // namespace ulma
