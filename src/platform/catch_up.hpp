#pragma once

#include <cstddef>
#include <ostream>
#include <string_view>

#include "platform/held_output.hpp"

namespace orbalune {

// A game played again up to the last key it had taken, silently and without waiting, and then
// shown as its player left it: the last screenful with each key after its prompt, and everything
// printed since the last key. If that key left a fight waiting, the screen appears at the fight's
// first wait and the fight goes on from there. A resumed game and a followed one both start so.
class CatchUp {
public:
    // `keys`: what the game takes before it has caught up; trailing blanks are left out, as they
    // would only hold back the moment it catches up.
    CatchUp(std::ostream& screen, std::string_view keys);
    CatchUp(const CatchUp&) = delete;
    CatchUp& operator=(const CatchUp&) = delete;
    ~CatchUp() = default;

    // Where the game writes.
    std::ostream& out() { return out_; }
    // Whether anything the game wrote was lost.
    [[nodiscard]] bool failed() const { return out_.fail() || screen_.fail(); }

    [[nodiscard]] bool replaying() const { return next_ < keys_.size(); }
    [[nodiscard]] char nextKey() const { return keys_[next_]; }
    char takeKey();

    // Before the game waits: false while it replays (the wait is skipped); the first wait after
    // the last key shows the screen, and that wait and all later ones are waited out.
    bool beforeWait();
    // Shows the screen of now, if it is not shown yet; from then on the game writes to it.
    void show();

private:
    enum class Phase { Replaying, CaughtUp, Live };

    std::ostream& screen_;
    std::string_view keys_;
    std::size_t next_ = 0;
    Phase phase_;
    HeldOutput held_;
    std::ostream out_;
};

}  // namespace orbalune
