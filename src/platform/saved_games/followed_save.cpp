#include "platform/saved_games/followed_save.hpp"

#include <chrono>
#include <thread>

#include "platform/os/file_system.hpp"

namespace orbalune {

namespace {

// How long a follower sleeps between looks at the lock when the file does not change: a game
// whose player leaves it is seen to be over within this time.
constexpr int kLockLookMs = 1000;
// Without change notification, how often the file is looked at: often enough that keys show
// within a blink, seldom enough to cost no measurable processor time.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

}  // namespace

FollowedSave::FollowedSave(const std::string& path)
    : reader_(openSaveReader(path)), keys_(reader_.keys()), changes_(os::watchWrites(path)) {}

bool FollowedSave::awaitMoreThan(std::size_t count) {
    for (;;) {
        if (const std::optional<bool> more = moreThan(count)) {
            return *more;
        }
        awaitChange();
    }
}

std::optional<bool> FollowedSave::moreThan(std::size_t count) {
    if (changes_) {
        os::drainWatch(changes_.get());
    }
    keys_.grow();
    if (keys_.size() > count) {
        return true;
    }
    if (!reader_.beingPlayed()) {
        keys_.grow();  // the last keys may have come just before the game ended
        return keys_.size() > count;
    }
    return std::nullopt;
}

std::chrono::milliseconds FollowedSave::lookInterval() const {
    return changes_ ? std::chrono::milliseconds(kLockLookMs) : kPollInterval;
}

void FollowedSave::awaitChange() {
    if (!changes_) {
        std::this_thread::sleep_for(kPollInterval);
        return;
    }
    os::awaitWatch(changes_.get(), std::chrono::milliseconds(kLockLookMs));  // moreThan takes it
}

}  // namespace orbalune
