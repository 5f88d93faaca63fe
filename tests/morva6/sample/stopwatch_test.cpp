// Stopwatch: the first call only sets the mark; later calls give the
// milliseconds since the previous call.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "morva6/sample/stopwatch.h"

namespace {

// The stopwatch is process-wide and never reset: this is the only test of
// this program that reads it.
TEST(Stopwatch, FirstCallSetsTheMarkThenIntervalsInMilliseconds) {
    EXPECT_EQ(countTimeInterval_QW(), 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    const double slept = countTimeInterval_QW();
    // Milliseconds, not seconds or microseconds: the sleep lasts at least 60.
    EXPECT_GE(slept, 59.0);
    // Each call starts a new interval: the next one no longer holds the sleep.
    const double next = countTimeInterval_QW();
    EXPECT_GE(next, 0.0);
    EXPECT_LT(next, slept);
}

}  // namespace
