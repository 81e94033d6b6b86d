#include "platform/followed_save.hpp"

#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>

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
    : reader_(openSaveReader(path)), changes_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    // The player's game writes each key (IN_MODIFY) and closes the file when it ends, however it
    // ends (IN_CLOSE_WRITE), so that a follower sleeps until one of them happens.
    if (changes_ &&
        ::inotify_add_watch(changes_.get(), path.c_str(), IN_MODIFY | IN_CLOSE_WRITE) < 0) {
        changes_ = UniqueFd();
    }
    reader_.readMore(keys_);
}

bool FollowedSave::awaitMoreThan(std::size_t count) {
    for (;;) {
        reader_.readMore(keys_);
        if (keys_.size() > count) {
            return true;
        }
        if (!beingPlayed()) {
            reader_.readMore(keys_);  // the last keys may have come just before the game ended
            return keys_.size() > count;
        }
        awaitChange();
    }
}

// A game in play holds an exclusive lock on its file; a shared one can be had only when no game
// does. It is let go at once.
bool FollowedSave::beingPlayed() const {
    if (::flock(reader_.fd.get(), LOCK_SH | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK;
    }
    ::flock(reader_.fd.get(), LOCK_UN);
    return false;
}

void FollowedSave::awaitChange() {
    if (!changes_) {
        std::this_thread::sleep_for(kPollInterval);
        return;
    }
    pollfd watch{changes_.get(), POLLIN, 0};
    if (::poll(&watch, 1, kLockLookMs) > 0) {
        std::array<char, 4096> events{};
        while (::read(changes_.get(), events.data(), events.size()) > 0) {
        }
    }
}

}  // namespace orbalune
