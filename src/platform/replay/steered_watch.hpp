#pragma once

#include <chrono>
#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "platform/replay/playback.hpp"
#include "platform/replay/snapshot_index.hpp"
#include "platform/replay/watch_events.hpp"
#include "platform/saved_games/catch_up.hpp"
#include "platform/saved_games/screen_tail.hpp"
#include "platform/terminal/keys.hpp"
#include "platform/terminal/status_line.hpp"
#include "platform/terminal/terminal_keys.hpp"
#include "platform/terminal/tracked_line.hpp"

namespace orbalune {

struct Game;

// A saved game watched at a terminal whose keys steer it, like a recording: paused, stepped a
// key at a time either way, sped up and slowed down, and taken at once to any position, to the
// next change of place or the next fight. A position is a number of keys taken (blanks, which
// the game passes over, are not keys); the screen at a position is the one a game resumed from
// that many keys shows, which the watch shows by
// playing the game again from its start up to there, silently (a file is its seed and keys,
// and replaying is fast). A status line on the last row says where the watch is.
class SteeredWatch {
public:
    // `terminal`: the terminal's stream, for the game's text and the status line.
    SteeredWatch(PlaybackKeys keys, std::ostream& terminal, TerminalKeys& keyboard, double speed);
    SteeredWatch(const SteeredWatch&) = delete;
    SteeredWatch& operator=(const SteeredWatch&) = delete;
    ~SteeredWatch() = default;

    // Plays from the start until the viewer stops watching; then gives the status line back and
    // ends the line being written. False if the screen could not be written.
    bool run();

    // How much memory the snapshots taken so far hold.
    [[nodiscard]] std::size_t snapshotBytes() const { return snapshots_.bytes(); }

    // How far + and - go, each doubling or halving the speed.
    static constexpr double kSlowest = 1.0 / 64;
    static constexpr double kFastest = 1024;

private:
    friend class KeyFeed<SteeredWatch>;
    using Clock = std::chrono::steady_clock;

    // Thrown to end the game being shown: one to go to `position`, the other to stop watching.
    struct Jump {
        std::size_t position;
        bool live;  // following a game: as it is played, not paused
    };
    struct StopWatching {};

    void playFrom(const Jump& start);
    // Plays `game` on from the last snapshot before the screen to show, if there is one.
    void restoreNearest(Game& game);
    void keepSnapshot(const Game& game);
    std::streambuf::int_type peekKey();
    std::streambuf::int_type takeKey();
    void wait(std::int32_t ms);

    // Once after each key, where the screen of the new position is whole: the status line says
    // where the watch is, and a paused watch stops here (in the wait or the read that follows).
    void reachPausePoint();
    // Lets `duration` go by as the game would, steered meanwhile; stepping lets none go by.
    void idle(Clock::duration duration);
    // At the end of the keys there are: waits a while for more, or pauses for good.
    void awaitKeys();
    void steer(const PressedKey& key);
    void stepForward();
    void jumpTo(std::optional<std::size_t> position);
    void readPosition();
    const WatchEvents& events();
    void drawStatus();

    [[nodiscard]] SavedKeys& keys() { return source_.keys; }
    // How many keys there are so far, and the byte of the file's keys after the first `position`.
    std::size_t keyCount();
    [[nodiscard]] std::size_t byteOf(std::size_t position);

    PlaybackKeys source_;
    std::ostream& terminal_;
    TerminalKeys& keyboard_;
    ScreenTail shownTail_;  // for the snapshots taken while the game is shown
    TrackedLine shownLine_;
    std::ostream screen_;
    StatusLine status_;
    double speed_;
    bool live_ = false;
    bool paused_ = false;
    bool stepping_ = false;
    bool pausePoint_ = false;
    bool over_ = false;         // a followed game that no one plays any more
    bool helpShown_ = false;    // until the next key
    std::size_t taken_ = 0;     // bytes of the keys the game has taken, blanks included
    std::size_t position_ = 0;  // keys it has taken
    std::size_t counted_ = 0;   // bytes keyCount has looked at
    std::size_t keyCount_ = 0;
    std::optional<CatchUp> catchUp_;
    const Game* game_ = nullptr;
    std::optional<WatchEvents> events_;
    SnapshotIndex snapshots_;
    KeyFeed<SteeredWatch> feed_;
    std::istream in_;
};

}  // namespace orbalune
