// The clock seam in a web page: the page's monotonic clock, slept on by handing the page back to
// the browser meanwhile, so that it stays responsive through a fight's waits.
#include <emscripten/emscripten.h>

#include <cmath>
#include <ctime>

#include "platform/os/monotonic_clock.hpp"

namespace orbalune::os {

namespace {

int readMonotonic(timespec& time) {
    return ::clock_gettime(CLOCK_MONOTONIC, &time);
}

int sleepRelative(const timespec& duration) {
    const double ms =
        static_cast<double>(duration.tv_sec) * 1000 + static_cast<double>(duration.tv_nsec) / 1e6;
    emscripten_sleep(static_cast<unsigned>(std::ceil(ms)));
    return 0;
}

}  // namespace

const ClockCalls& systemClock() {
    static constexpr ClockCalls calls{readMonotonic, sleepRelative};
    return calls;
}

}  // namespace orbalune::os
