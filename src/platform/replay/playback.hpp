#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "game/console.hpp"
#include "platform/saved_games/catch_up.hpp"
#include "platform/saved_games/followed_save.hpp"
#include "platform/saved_games/save_format.hpp"
#include "platform/saved_games/saved_keys.hpp"
#include "platform/terminal/keys.hpp"

namespace orbalune {

// How a played-back game waits: by sleeping, so that a viewer's machine stays idle. Injected, so
// that tests need not wait.
using Sleep = std::function<void(std::chrono::microseconds)>;

// Sleeps on the monotonic clock.
void sleepFor(std::chrono::microseconds duration);

// How long a key shows its prompt before it is typed, at speed 1: long enough to read a menu.
inline constexpr std::int32_t kWatchKeyDelayMs = 500;

// How long a wait of `ms` lasts watched `speed` times as fast; never more than an hour, however
// slow the speed.
std::chrono::microseconds scaledWait(std::int32_t ms, double speed);

// Where a played-back game's keys come from: a saved game as it was read, or one followed as its
// player plays it.
struct PlaybackKeys {
    SavedKeys& keys;
    std::uint32_t seed;
    FollowedSave* followed = nullptr;  // when set, the game goes on as its player plays it
};

// A saved game played back in time, each key shown after its prompt as the player's terminal
// showed it, every wait of the game waited out. Watched (`watchSpeed` set), it plays from the
// start, `watchSpeed` times as fast, each key a short delay after its prompt. Otherwise it
// catches up at once with the keys there are and shows the screen of now. Followed, once it has
// shown every key there is, it shows each new key the moment the player's game takes it, and
// waits as long as that game does; it ends when no one plays the game any more.
class Playback {
public:
    Playback(PlaybackKeys keys, std::ostream& screen, std::optional<double> watchSpeed,
             Sleep sleep);
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;
    ~Playback() = default;

    Console console();
    // Shows whatever is still held back; raises what failed while a key was read.
    void finish() {
        catchUp_.show();
        feed_.rethrowFailure();
    }

private:
    friend class KeyFeed<Playback>;

    std::streambuf::int_type peekKey();
    std::streambuf::int_type takeKey();
    void wait(std::int32_t ms);
    [[nodiscard]] SavedKeys& keys() { return source_.keys; }

    PlaybackKeys source_;
    std::ostream& screen_;
    double speed_;
    bool live_;  // keys show as they come, waits last as long as the player's
    Sleep sleep_;
    CatchUp catchUp_;
    std::size_t next_ = 0;
    KeyFeed<Playback> feed_;
    std::istream in_;
};

}  // namespace orbalune
