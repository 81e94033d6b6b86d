#include "platform/os/monotonic_clock.hpp"

#include <cerrno>
#include <system_error>

namespace orbalune::os {

namespace {

using std::chrono::nanoseconds;

nanoseconds readClock(const ClockCalls& clock) {
    timespec time{};
    if (clock.now(time) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot read the monotonic clock");
    }
    return std::chrono::seconds(time.tv_sec) + nanoseconds(time.tv_nsec);
}

timespec toTimespec(nanoseconds duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    return timespec{static_cast<std::time_t>(seconds.count()),
                    static_cast<long>((duration - seconds).count())};
}

}  // namespace

void sleepFor(nanoseconds duration, const ClockCalls& clock) {
    if (duration <= nanoseconds::zero()) {
        return;
    }
    // The end is fixed once: a sleep a signal cuts short sleeps again only for what is left of
    // it, read off the clock, so that the wait is never shorter and never drifts longer.
    const nanoseconds start = readClock(clock);
    const nanoseconds end = start + duration;
    for (nanoseconds now = start; now < end; now = readClock(clock)) {
        if (clock.sleep(toTimespec(end - now)) != 0 && errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "cannot sleep");
        }
    }
}

}  // namespace orbalune::os
