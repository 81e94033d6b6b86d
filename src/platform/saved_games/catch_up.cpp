#include "platform/saved_games/catch_up.hpp"

#include "platform/terminal/keys.hpp"

namespace orbalune {

namespace {

std::size_t withoutTrailingBlanks(SavedKeys& keys, std::size_t end) {
    while (end > 0 && isBlankKey(keys[end - 1])) {
        --end;
    }
    return end;
}

}  // namespace

CatchUp::CatchUp(std::ostream& screen, SavedKeys& keys, std::size_t end)
    : screen_(screen),
      keys_(keys),
      end_(withoutTrailingBlanks(keys, end)),
      phase_(end_ == 0 ? Phase::Live : Phase::Replaying),
      out_(phase_ == Phase::Live ? screen.rdbuf() : &held_) {}

char CatchUp::takeKey() {
    const char key = keys_[next_++];
    held_.echo(key);
    if (next_ == end_) {
        held_.markCaughtUp();
        phase_ = Phase::CaughtUp;
    }
    return key;
}

void CatchUp::resumeFrom(std::size_t taken, const ScreenAtKey& screen) {
    next_ = taken;
    held_.prime(screen, next_ == end_);
    if (next_ == end_) {
        phase_ = Phase::CaughtUp;
    }
}

bool CatchUp::beforeWait() {
    if (phase_ == Phase::Replaying) {
        return false;
    }
    show();
    return true;
}

void CatchUp::show() {
    if (phase_ == Phase::Live) {
        return;
    }
    screen_ << held_.screen() << std::flush;
    held_.release();
    out_.rdbuf(screen_.rdbuf());
    phase_ = Phase::Live;
}

}  // namespace orbalune
