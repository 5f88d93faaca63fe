// Millisecond stopwatch of the sample driver.
#pragma once

// Returns the milliseconds since the previous call and starts a new interval;
// the first call only sets the mark and returns 0.0.
double countTimeInterval_QW();
