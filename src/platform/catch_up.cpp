#include "platform/catch_up.hpp"

#include "platform/keys.hpp"

namespace orbalune {

namespace {

std::string_view withoutTrailingBlanks(std::string_view keys) {
    while (!keys.empty() && isBlankKey(keys.back())) {
        keys.remove_suffix(1);
    }
    return keys;
}

}  // namespace

CatchUp::CatchUp(std::ostream& screen, std::string_view keys)
    : screen_(screen),
      keys_(withoutTrailingBlanks(keys)),
      phase_(keys_.empty() ? Phase::Live : Phase::Replaying),
      out_(phase_ == Phase::Live ? screen.rdbuf() : &held_) {}

char CatchUp::takeKey() {
    const char key = keys_[next_++];
    held_.echo(key);
    if (next_ == keys_.size()) {
        held_.markCaughtUp();
        phase_ = Phase::CaughtUp;
    }
    return key;
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
