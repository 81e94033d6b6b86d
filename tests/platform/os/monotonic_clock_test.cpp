#include "platform/os/monotonic_clock.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>
#include <vector>

namespace orbalune::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A clock that moves only when slept on, by what `sleepMoves` says of each sleep asked for; a
// sleep that moves it less than asked fails with `sleepError`.
struct FakeClock {
    nanoseconds time{std::chrono::seconds(1000)};
    std::vector<nanoseconds> sleepsAsked;
    nanoseconds (*sleepMoves)(nanoseconds asked) = nullptr;
    int sleepError = EINTR;
    int readError = 0;
};
FakeClock fake;  // the calls are plain functions: they reach their clock here

int fakeNow(timespec& time) {
    errno = fake.readError;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(fake.time);
    time = timespec{static_cast<std::time_t>(seconds.count()),
                    static_cast<long>((fake.time - seconds).count())};
    return fake.readError == 0 ? 0 : -1;
}

int fakeSleep(const timespec& duration) {
    const nanoseconds asked = std::chrono::seconds(duration.tv_sec) + nanoseconds(duration.tv_nsec);
    fake.sleepsAsked.push_back(asked);
    const nanoseconds moved = fake.sleepMoves(asked);
    fake.time += moved;
    errno = fake.sleepError;
    return moved < asked ? -1 : 0;
}

// Never shorter than asked, however often signals cut the sleep short; never again for time a
// stop (Ctrl-Z) let go by; nothing for nothing; and never a busy loop on a clock that fails.
TEST(MonotonicClock, SleepsTillTheEndAndSaysWhenItCannot) {
    struct Case {
        const char* name;
        milliseconds asked;
        nanoseconds (*sleepMoves)(nanoseconds);
        int readError;
        int sleepError;
        std::vector<nanoseconds> sleepsAsked;
        nanoseconds waited;
        std::string error;
    };
    auto whole = [](nanoseconds asked) { return asked; };
    auto none = [](nanoseconds /*asked*/) { return nanoseconds(0); };
    const std::vector<Case> cases = {
        {"asleep the whole time",
         milliseconds(250),
         whole,
         0,
         EINTR,
         {milliseconds(250)},
         milliseconds(250),
         ""},
        {"woken half way, twice",
         milliseconds(250),
         [](nanoseconds asked) { return fake.sleepsAsked.size() < 3 ? asked / 2 : asked; },
         0,
         EINTR,
         {milliseconds(250), milliseconds(125), nanoseconds(62'500'000)},
         milliseconds(250),
         ""},
        {"stopped for a minute",
         milliseconds(250),
         [](nanoseconds /*asked*/) -> nanoseconds { return std::chrono::minutes(1); },
         0,
         EINTR,
         {milliseconds(250)},
         std::chrono::minutes(1),
         ""},
        {"nothing to wait for", milliseconds(-100), none, EINVAL, EINTR, {}, nanoseconds(0), ""},
        {"a clock that cannot be read",
         milliseconds(10),
         none,
         EINVAL,
         EINTR,
         {},
         nanoseconds(0),
         "cannot read the monotonic clock: Invalid argument"},
        {"a sleep that fails",
         milliseconds(10),
         none,
         0,
         EFAULT,
         {milliseconds(10)},
         nanoseconds(0),
         "cannot sleep: Bad address"},
    };
    for (const Case& each : cases) {
        fake = FakeClock{};
        fake.sleepMoves = each.sleepMoves;
        fake.readError = each.readError;
        fake.sleepError = each.sleepError;
        std::string error;
        try {
            os::sleepFor(each.asked, os::ClockCalls{fakeNow, fakeSleep});
        } catch (const std::system_error& failure) {
            error = failure.what();
        }
        EXPECT_EQ(error, each.error) << each.name;
        EXPECT_EQ(fake.sleepsAsked, each.sleepsAsked) << each.name;
        EXPECT_EQ(fake.time - std::chrono::seconds(1000), each.waited) << each.name;
    }
}

}  // namespace
}  // namespace orbalune::testing
