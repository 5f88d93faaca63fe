#include "morva6/sample/stopwatch.h"

#include <chrono>
#include <cstdint>

namespace {

// Process-wide mark of the last call, in steady-clock ticks; zero until the
// first call.
std::int64_t timeMark = 0;
std::int64_t cpuFrequency = 0;

std::int64_t read_counter() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

}  // namespace

double countTimeInterval_QW() {
    using period = std::chrono::steady_clock::period;
    if (timeMark == 0 || cpuFrequency == 0) {
        timeMark = read_counter();
        cpuFrequency = period::den / period::num;
        return 0.0;
    }
    const std::int64_t now = read_counter();
    const double ms = static_cast<double>(now - timeMark) * 1000.0 / static_cast<double>(cpuFrequency);
    timeMark = read_counter();
    return ms;
}
