#pragma once

#include <chrono>
#include <ctime>

// The clock the game's waits are measured on: the monotonic clock, which counts real time and
// is never set back, so that a wait lasts as long on a busy machine as on an idle one and costs
// no processor time.
namespace orbalune::os {

// The clock's calls, in a record so that a test can play a clock that fails, or sleeps that
// signals cut short.
struct ClockCalls {
    // Reads the monotonic clock: 0, or -1 with errno set.
    int (*now)(timespec& time);
    // Sleeps for `duration`: 0, or -1 with errno set (EINTR when a signal cut it short).
    int (*sleep)(const timespec& duration);
};

// The system's: POSIX's clock_gettime(CLOCK_MONOTONIC) and nanosleep (system_clock_posix.cpp),
// or a web page's, whose sleeps let the page go on (system_clock_browser.cpp).
const ClockCalls& systemClock();

// Sleeps until `duration` after now on the monotonic clock: never less, however often signals
// wake it. A program stopped meanwhile (Ctrl-Z) does not wait again for the time it was stopped:
// real time went by. Nothing to wait for returns at once without reading the clock. Throws
// std::system_error if the clock cannot be read or slept on.
void sleepFor(std::chrono::nanoseconds duration, const ClockCalls& clock = systemClock());

}  // namespace orbalune::os
