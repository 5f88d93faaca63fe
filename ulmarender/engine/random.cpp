#include "ulmarender/engine/random.h"

namespace ulma {

namespace {
constexpr int kDegree = 31;      // words of state
constexpr int kSeparation = 3;   // the generator adds x[i-31] and x[i-3]
constexpr int kDiscarded = 310;  // numbers thrown away after seeding
}  // namespace

// state_ is a ring of the last 34 words: x[i] lives at i mod 34.
SeededRandom::SeededRandom(std::uint32_t seed) {
    std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
    state_[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kDegree; ++i) {
        // 16807 * word mod (2^31 - 1) without overflow (Schrage's method).
        const std::int32_t hi = word / 127773;
        const std::int32_t lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        state_[i] = static_cast<std::uint32_t>(word);
    }
    for (int i = kDegree; i < kDegree + kSeparation; ++i) state_[i] = state_[i - kDegree];
    front_ = kDegree + kSeparation;
    for (int i = 0; i < kDiscarded; ++i) next();
}

int SeededRandom::next() {
    constexpr int size = static_cast<int>(std::tuple_size_v<decltype(state_)>);
    const std::uint32_t value = state_[(front_ - kDegree + size) % size] + state_[(front_ - kSeparation + size) % size];
    state_[front_ % size] = value;
    front_ = (front_ + 1) % size;
    return static_cast<int>(value >> 1);
}

}  // namespace ulma
