#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "game/console.hpp"
#include "platform/saved_games/catch_up.hpp"
#include "platform/saved_games/game_snapshot.hpp"
#include "platform/saved_games/save_file.hpp"
#include "platform/saved_games/screen_tail.hpp"
#include "platform/terminal/keys.hpp"
#include "platform/terminal/progress_line.hpp"
#include "platform/terminal/terminal_keys.hpp"
#include "platform/terminal/tracked_line.hpp"

namespace orbalune {

struct Game;

// The console of a game played at a terminal, kept in a save file or not.
//
// A resumed game first takes the keys its file holds, silently and without waiting. Once it has
// taken the last of them, the player sees the screen as they left it (HeldOutput) and plays on;
// if that key left a fight waiting on its clock, the fight goes on with its real pauses. Every
// key from the terminal is written to the file before the game takes it, and the file is made
// durable whenever the game is about to wait for the player. The game is stopped, as if its input
// had ended, when a key cannot be saved or the screen cannot be written.
//
// At a terminal in single-key mode, the keys come from `keyboard`: each one taken is shown after
// its prompt; keys pressed while the game waits or catches up are dropped; the arrows are moves
// while the game reads the dungeon's command menu. A long catch-up shows its progress, and after
// a stop (Ctrl-Z, then fg) the line being written is shown again.
class PlaySession {
public:
    // `save` may be null: a game kept nowhere, exactly as the terminal plays it. `keyboard` is
    // null unless the terminal reads single keys.
    PlaySession(Console terminal, SaveFile* save, TerminalKeys* keyboard = nullptr);
    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;
    ~PlaySession() = default;

    // The console to build the game with.
    Console console(std::uint32_t seed);
    // Lets the session see which question the game asks, for the keys that mean something at
    // one question only (a terminal's arrows).
    void askedBy(const Game& game);

    // Hands `keep` a snapshot of the saved game before each command the player is asked for,
    // to resume it from later (resumeFrom). Before console().
    void keepSnapshots(std::function<void(const GameSnapshot&)> keep) { keep_ = std::move(keep); }
    // Plays the saved game on from `snapshot` rather than from its first key, if the snapshot
    // is of this file's keys and `game` (fresh from console()) takes it; false if not, and the
    // game catches up from the start. Before the game runs.
    bool resumeFrom(Game& game, const GameSnapshot& snapshot);

    // Once the game has ended: shows whatever is still held back, and tells why the game had to
    // stop, if it did not simply run out of input. On a screen at a terminal, a game that ended
    // in the middle of a line (at a prompt) ends it, so that the shell's prompt starts a line of
    // its own. Raises what failed while a key was read.
    [[nodiscard]] std::optional<std::string> finish(bool screenAtTerminal = false);

private:
    friend class KeyFeed<PlaySession>;

    std::streambuf::int_type peekKey();
    std::streambuf::int_type takeKey();
    void pause(std::int32_t ms);
    [[nodiscard]] std::streambuf& liveKeys() const;
    // Makes the keys durable if the next one is not there yet; false if that failed.
    bool syncBeforeWaiting();
    // Puts the saved keys on the disk; false, with the reason kept, if the disk refuses.
    bool makeDurable();
    [[nodiscard]] bool screenFailed() const;
    void dropKeysTypedUnseen();
    void mendLine();
    void takeSnapshot();

    Console terminal_;
    SaveFile* save_;
    TerminalKeys* keyboard_;
    const Game* game_ = nullptr;
    ScreenTail shownTail_;   // the screen shown, for the snapshots
    TrackedLine shownLine_;  // the line the terminal shows being written
    std::ostream screen_;
    CatchUp catchUp_;
    KeyFeed<PlaySession> keys_;
    std::istream in_;
    std::optional<std::string> failure_;
    bool caughtUp_ = false;
    std::optional<ProgressLine> progress_;  // while a long file catches up at a terminal
    std::function<void(const GameSnapshot&)> keep_;
    std::size_t keysTaken_ = 0;  // of the file's keys, and their digest
    KeysDigest keysDigest_;
    std::size_t lastSnapshot_ = 0;  // keys taken when the last snapshot was
    bool waitedSinceKey_ = false;   // a game resumed after that key would show the wait
};

}  // namespace orbalune
