#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/saved_games/held_output.hpp"
#include "platform/saved_games/saved_keys.hpp"

namespace orbalune {

// A game played again up to the last key it had taken, silently and without waiting, and then
// shown as its player left it: the last screenful with each key after its prompt, and everything
// printed since the last key. If that key left a fight waiting, the screen appears at the fight's
// first wait and the fight goes on from there. A resumed game and a followed one both start so.
class CatchUp {
public:
    // The game catches up with the keys `keys` holds now, but for trailing blanks, which would
    // only hold back the moment it catches up; `keys` may grow meanwhile.
    CatchUp(std::ostream& screen, SavedKeys& keys) : CatchUp(screen, keys, keys.size()) {}
    // The same with the first `end` of them only.
    CatchUp(std::ostream& screen, SavedKeys& keys, std::size_t end);
    // A game with nothing to catch up with: it writes to `screen` from the start.
    explicit CatchUp(std::ostream& screen) : CatchUp(screen, nothing_, 0) {}
    CatchUp(const CatchUp&) = delete;
    CatchUp& operator=(const CatchUp&) = delete;
    ~CatchUp() = default;

    // Where the game writes.
    std::ostream& out() { return out_; }
    // Whether anything the game wrote was lost.
    [[nodiscard]] bool failed() const { return out_.fail() || screen_.fail(); }

    [[nodiscard]] bool replaying() const { return next_ < end_; }
    // How many keys it catches up with.
    [[nodiscard]] std::size_t end() const { return end_; }
    [[nodiscard]] char nextKey() { return keys_[next_]; }
    // How many keys the game has taken so far.
    [[nodiscard]] std::size_t taken() const { return next_; }
    char takeKey();

    // Plays on from a snapshot of the game taken after `taken` keys (no more than it catches up
    // with), when `screen` was shown: before the first key is taken.
    void resumeFrom(std::size_t taken, const ScreenAtKey& screen);
    // Whether the screen is shown: the game writes to it.
    [[nodiscard]] bool shown() const { return phase_ == Phase::Live; }
    // Until then, the screenful the game has printed, where a game played on from here starts.
    [[nodiscard]] ScreenAtKey heldScreen() { return held_.lastScreen(); }

    // Before the game waits: false while it replays (the wait is skipped); the first wait after
    // the last key shows the screen, and that wait and all later ones are waited out.
    bool beforeWait();
    // Shows the screen of now, if it is not shown yet; from then on the game writes to it.
    void show();

private:
    enum class Phase { Replaying, CaughtUp, Live };

    std::ostream& screen_;
    SavedKeys nothing_;
    SavedKeys& keys_;
    std::size_t end_;
    std::size_t next_ = 0;
    Phase phase_;
    HeldOutput held_;
    std::ostream out_;
};

}  // namespace orbalune
