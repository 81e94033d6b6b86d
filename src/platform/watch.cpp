#include "platform/watch.hpp"

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/shown_text.hpp"

namespace orbalune {

namespace {

using Traits = std::streambuf::traits_type;

// No single wait is longer, however slow the speed asked for.
constexpr std::chrono::duration<double, std::milli> kLongestWait = std::chrono::hours(1);

}  // namespace

void sleepFor(std::chrono::microseconds duration) {
    std::this_thread::sleep_for(duration);
}

WatchSession::WatchSession(const SavedGame& game, std::ostream& out, double speed, Sleep sleep)
    : game_(game), out_(out), speed_(speed), sleep_(std::move(sleep)), keys_(*this), in_(&keys_) {}

Console WatchSession::console() {
    return Console{in_, out_, [this](std::int32_t ms) { wait(ms); }, game_.seed};
}

// The keys end with the file, or when no one can see them any more.
Traits::int_type WatchSession::peekKey() {
    if (nextKey_ == game_.keys.size() || out_.fail()) {
        return Traits::eof();
    }
    return Traits::to_int_type(game_.keys[nextKey_]);
}

Traits::int_type WatchSession::takeKey() {
    const Traits::int_type next = peekKey();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return next;
    }
    const char key = game_.keys[nextKey_++];
    if (!isBlankKey(key)) {
        wait(kWatchKeyDelayMs);
        out_ << shownKey(key) << std::flush;
    }
    return next;
}

void WatchSession::wait(std::int32_t ms) {
    if (ms <= 0) {
        return;
    }
    const std::chrono::duration<double, std::milli> scaled(ms / speed_);
    sleep_(std::chrono::duration_cast<std::chrono::microseconds>(std::min(scaled, kLongestWait)));
}

}  // namespace orbalune
