#include "platform/replay/playback.hpp"

#include <algorithm>
#include <utility>

#include "platform/os/monotonic_clock.hpp"
#include "platform/terminal/shown_text.hpp"

namespace orbalune {

namespace {

using Traits = std::streambuf::traits_type;

// No single wait is longer, however slow the speed asked for.
constexpr std::chrono::duration<double, std::milli> kLongestWait = std::chrono::hours(1);

}  // namespace

void sleepFor(std::chrono::microseconds duration) {
    os::sleepFor(duration);
}

std::chrono::microseconds scaledWait(std::int32_t ms, double speed) {
    const std::chrono::duration<double, std::milli> scaled(ms / speed);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::min(scaled, kLongestWait));
}

Playback::Playback(PlaybackKeys keys, std::ostream& screen, std::optional<double> watchSpeed,
                   Sleep sleep)
    : source_(keys),
      screen_(screen),
      speed_(watchSpeed.value_or(1)),
      live_(!watchSpeed),
      sleep_(std::move(sleep)),
      catchUp_(watchSpeed ? CatchUp(screen) : CatchUp(screen, keys.keys)),
      feed_(*this),
      in_(&feed_) {}

Console Playback::console() {
    return Console{in_, catchUp_.out(), [this](std::int32_t ms) { wait(ms); }, source_.seed};
}

// The keys end with the file's, or with its game if it is followed, or when no one can see them
// any more.
Traits::int_type Playback::peekKey() {
    if (catchUp_.replaying()) {
        return Traits::to_int_type(catchUp_.nextKey());
    }
    catchUp_.show();
    if (screen_.fail()) {
        return Traits::eof();
    }
    if (next_ == keys().size() && source_.followed != nullptr) {
        screen_ << std::flush;
        if (!source_.followed->awaitMoreThan(next_)) {
            return Traits::eof();
        }
        if (!live_) {  // caught up: from now on as it happens
            live_ = true;
            speed_ = 1;
        }
    }
    return next_ < keys().size() ? Traits::to_int_type(keys()[next_]) : Traits::eof();
}

Traits::int_type Playback::takeKey() {
    if (catchUp_.replaying()) {
        ++next_;
        return Traits::to_int_type(catchUp_.takeKey());
    }
    const Traits::int_type next = peekKey();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return next;
    }
    const char key = keys()[next_++];
    if (!isBlankKey(key)) {
        if (!live_) {
            wait(kWatchKeyDelayMs);
        }
        screen_ << shownKey(key) << std::flush;
    }
    return next;
}

void Playback::wait(std::int32_t ms) {
    if (!catchUp_.beforeWait() || ms <= 0) {
        return;
    }
    sleep_(scaledWait(ms, speed_));
}

}  // namespace orbalune
