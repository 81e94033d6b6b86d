// The clock seam on Windows: the performance counter, which is monotonic, slept on by Sleep in
// whole milliseconds, never fewer than asked (the waits read the clock again and sleep on).
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/os/monotonic_clock.hpp"

namespace orbalune::os {

namespace {

int readMonotonic(timespec& time) {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER count{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&count);
    const auto ticks = static_cast<std::uint64_t>(count.QuadPart);
    const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    time.tv_sec = static_cast<std::time_t>(ticks / perSecond);
    time.tv_nsec = static_cast<long>((ticks % perSecond) * 1'000'000'000 / perSecond);
    return 0;
}

int sleepRelative(const timespec& duration) {
    const std::uint64_t milliseconds =
        static_cast<std::uint64_t>(duration.tv_sec) * 1000 +
        (static_cast<std::uint64_t>(duration.tv_nsec) + 999'999) / 1'000'000;
    ::Sleep(static_cast<DWORD>(std::min<std::uint64_t>(milliseconds, INFINITE - 1)));
    return 0;
}

}  // namespace

const ClockCalls& systemClock() {
    static constexpr ClockCalls calls{readMonotonic, sleepRelative};
    return calls;
}

}  // namespace orbalune::os
