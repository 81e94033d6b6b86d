#include "platform/play_session.hpp"

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/keys.hpp"

namespace orbalune {

namespace {

using Traits = std::streambuf::traits_type;

constexpr const char* kScreenFailure = "cannot write to standard output";

// The saved keys up to the last one the game acts on: trailing blanks would only hold back the
// moment the game catches up.
std::string_view keysToReplay(const SaveFile* save) {
    std::string_view keys = save != nullptr ? std::string_view(save->game.keys) : "";
    while (!keys.empty() && isBlankKey(keys.back())) {
        keys.remove_suffix(1);
    }
    return keys;
}

}  // namespace

PlaySession::PlaySession(Console terminal, SaveFile* save)
    : terminal_(std::move(terminal)),
      save_(save),
      savedKeys_(keysToReplay(save)),
      phase_(savedKeys_.empty() ? Phase::Live : Phase::Replaying),
      out_(phase_ == Phase::Live ? terminal_.out.rdbuf() : &held_),
      keys_(*this),
      in_(&keys_) {}

Console PlaySession::console(std::uint32_t seed) {
    return Console{in_, out_, [this](std::int32_t ms) { pause(ms); }, seed};
}

std::optional<std::string> PlaySession::finish() {
    if (phase_ != Phase::Live) {
        goLive();
    }
    if (!failure_ && screenFailed()) {
        failure_ = kScreenFailure;
    }
    return failure_;
}

Traits::int_type PlaySession::peekKey() {
    if (nextSavedKey_ < savedKeys_.size()) {
        return Traits::to_int_type(savedKeys_[nextSavedKey_]);
    }
    if (phase_ != Phase::Live) {
        goLive();
    }
    if (screenFailed()) {
        failure_ = kScreenFailure;
        return Traits::eof();
    }
    return terminal_.in.rdbuf()->sgetc();
}

Traits::int_type PlaySession::takeKey() {
    if (nextSavedKey_ < savedKeys_.size()) {
        const char key = savedKeys_[nextSavedKey_++];
        if (!isBlankKey(key)) {
            held_.echo(key);
        }
        if (nextSavedKey_ == savedKeys_.size()) {
            held_.markCaughtUp();
            phase_ = Phase::CaughtUp;
        }
        return Traits::to_int_type(key);
    }
    const Traits::int_type next = peekKey();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return next;
    }
    if (save_ != nullptr && !isBlankKey(Traits::to_char_type(next)) &&
        !save_->appendKey(Traits::to_char_type(next))) {
        failure_ = save_->path + ": cannot save the next key: " + std::strerror(errno) +
                   " (the game stopped before it)";
        return Traits::eof();
    }
    return terminal_.in.rdbuf()->sbumpc();
}

void PlaySession::pause(std::int32_t ms) {
    if (phase_ == Phase::Replaying) {
        return;
    }
    if (phase_ == Phase::CaughtUp) {
        goLive();
    }
    if (terminal_.pause) {
        terminal_.pause(ms);
    }
}

void PlaySession::goLive() {
    terminal_.out << held_.screen() << std::flush;
    held_.release();
    out_.rdbuf(terminal_.out.rdbuf());
    phase_ = Phase::Live;
}

bool PlaySession::screenFailed() const {
    return out_.fail() || terminal_.out.fail();
}

}  // namespace orbalune
