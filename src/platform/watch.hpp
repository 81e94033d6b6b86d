#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string_view>

#include "game/console.hpp"
#include "platform/keys.hpp"
#include "platform/save_format.hpp"

namespace orbalune {

// How a watched replay waits: by sleeping, so that a viewer's machine stays idle. Injected, so
// that tests need not wait.
using Sleep = std::function<void(std::chrono::microseconds)>;

// Sleeps on the system clock.
void sleepFor(std::chrono::microseconds duration);

// How long a key shows its prompt before it is typed, at speed 1: long enough to read a menu.
inline constexpr std::int32_t kWatchKeyDelayMs = 500;

// Plays a saved game back in real time: each key echoed after its prompt as a terminal shows it
// (the key and a line end) a short delay after the prompt, every wait of the game waited out,
// all of it `speed` times as fast. Ends when the keys run out.
class WatchSession {
public:
    WatchSession(const SavedGame& game, std::ostream& out, double speed, Sleep sleep);
    WatchSession(const WatchSession&) = delete;
    WatchSession& operator=(const WatchSession&) = delete;
    ~WatchSession() = default;

    Console console();

private:
    friend class KeyFeed<WatchSession>;

    std::streambuf::int_type peekKey();
    std::streambuf::int_type takeKey();
    void wait(std::int32_t ms);

    const SavedGame& game_;
    std::size_t nextKey_ = 0;
    std::ostream& out_;
    double speed_;
    Sleep sleep_;
    KeyFeed<WatchSession> keys_;
    std::istream in_;
};

}  // namespace orbalune
