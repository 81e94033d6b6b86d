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

// A clock that moves only when slept on, by what `sleepMoves` says of each sleep asked for.
struct FakeClock {
    nanoseconds time{std::chrono::seconds(1000)};
    std::vector<nanoseconds> sleepsAsked;
    int reads = 0;
    nanoseconds (*sleepMoves)(nanoseconds asked) = nullptr;
    int sleepError = EINTR;  // what a sleep that moved the clock less than asked says
    int readError = 0;
};
FakeClock fake;  // the calls are plain functions: they reach their clock here

int fakeNow(timespec& time) {
    ++fake.reads;
    if (fake.readError != 0) {
        errno = fake.readError;
        return -1;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(fake.time);
    time = timespec{static_cast<std::time_t>(seconds.count()),
                    static_cast<long>((fake.time - seconds).count())};
    return 0;
}

int fakeSleep(const timespec& duration) {
    const nanoseconds asked = std::chrono::seconds(duration.tv_sec) + nanoseconds(duration.tv_nsec);
    fake.sleepsAsked.push_back(asked);
    const nanoseconds moved = fake.sleepMoves(asked);
    fake.time += moved;
    if (moved < asked) {
        errno = fake.sleepError;
        return -1;
    }
    return 0;
}

constexpr os::ClockCalls kFakeClock{fakeNow, fakeSleep};

void resetClock(nanoseconds (*sleepMoves)(nanoseconds)) {
    fake = FakeClock{};
    fake.sleepMoves = sleepMoves;
}

TEST(MonotonicClock, SleepsTillTheEndHoweverSignalsCutItShort) {
    struct Case {
        const char* name;
        nanoseconds (*sleepMoves)(nanoseconds);
        std::vector<nanoseconds> sleepsAsked;
        nanoseconds waited;
    };
    const std::vector<Case> cases = {
        {"asleep the whole time",
         [](nanoseconds asked) { return asked; },
         {milliseconds(250)},
         milliseconds(250)},
        {"woken half way, twice",
         [](nanoseconds asked) { return fake.sleepsAsked.size() < 3 ? asked / 2 : asked; },
         {milliseconds(250), milliseconds(125), nanoseconds(62'500'000)},
         milliseconds(250)},
        // Stopped with Ctrl-Z: more time went by than was asked for, and none is waited again.
        {"stopped for a minute",
         [](nanoseconds /*asked*/) -> nanoseconds { return std::chrono::minutes(1); },
         {milliseconds(250)},
         std::chrono::minutes(1)},
    };
    for (const Case& each : cases) {
        resetClock(each.sleepMoves);
        fake.sleepError = EINTR;
        const nanoseconds start = fake.time;
        os::sleepFor(milliseconds(250), kFakeClock);
        EXPECT_EQ(fake.sleepsAsked, each.sleepsAsked) << each.name;
        EXPECT_EQ(fake.time - start, each.waited) << each.name;
    }
}

TEST(MonotonicClock, NothingToWaitForReadsNoClock) {
    resetClock([](nanoseconds asked) { return asked; });
    os::sleepFor(milliseconds(0), kFakeClock);
    os::sleepFor(milliseconds(-100), kFakeClock);
    EXPECT_EQ(fake.reads, 0);
    EXPECT_TRUE(fake.sleepsAsked.empty());
}

// Never a busy loop on a clock that fails: the wait is an error the program reports.
TEST(MonotonicClock, AClockThatFailsIsAnError) {
    struct Case {
        int readError;
        int sleepError;
        std::string message;
    };
    const std::vector<Case> cases = {
        {EINVAL, EINTR, "cannot read the monotonic clock: Invalid argument"},
        {0, EFAULT, "cannot sleep: Bad address"},
    };
    for (const Case& each : cases) {
        resetClock([](nanoseconds /*asked*/) { return nanoseconds(0); });
        fake.readError = each.readError;
        fake.sleepError = each.sleepError;
        try {
            os::sleepFor(milliseconds(10), kFakeClock);
            ADD_FAILURE() << each.message << ": no error";
        } catch (const std::system_error& error) {
            EXPECT_EQ(std::string(error.what()), each.message);
        }
        EXPECT_LE(fake.sleepsAsked.size(), 1U) << each.message;
    }
}

}  // namespace
}  // namespace orbalune::testing
