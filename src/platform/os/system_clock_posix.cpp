// The clock seam on POSIX: the monotonic clock, slept on by nanosleep.
#include <ctime>

#include "platform/os/monotonic_clock.hpp"

namespace orbalune::os {

namespace {

int readMonotonic(timespec& time) {
    return ::clock_gettime(CLOCK_MONOTONIC, &time);
}

int sleepRelative(const timespec& duration) {
    return ::nanosleep(&duration, nullptr);
}

}  // namespace

const ClockCalls& systemClock() {
    static constexpr ClockCalls calls{readMonotonic, sleepRelative};
    return calls;
}

}  // namespace orbalune::os
