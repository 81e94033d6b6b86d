#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "game/console.hpp"
#include "platform/held_output.hpp"
#include "platform/keys.hpp"
#include "platform/save_file.hpp"

namespace orbalune {

// The console of a game played at a terminal, kept in a save file or not.
//
// A resumed game first takes the keys its file holds, silently and without waiting. Once it has
// taken the last of them, the player sees the screen as they left it (HeldOutput) and plays on;
// if that key left a fight waiting on its clock, the fight goes on with its real pauses. Every
// key from the terminal is written to the file before the game takes it. The game is stopped,
// as if its input had ended, when a key cannot be saved or the screen cannot be written.
class PlaySession {
public:
    // `save` may be null: a game kept nowhere, exactly as the terminal plays it.
    PlaySession(Console terminal, SaveFile* save);
    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;
    ~PlaySession() = default;

    // The console to build the game with.
    Console console(std::uint32_t seed);

    // Once the game has ended: shows whatever is still held back, and tells why the game had to
    // stop, if it did not simply run out of input.
    [[nodiscard]] std::optional<std::string> finish();

private:
    enum class Phase { Replaying, CaughtUp, Live };

    friend class KeyFeed<PlaySession>;

    std::streambuf::int_type peekKey();
    std::streambuf::int_type takeKey();
    void pause(std::int32_t ms);
    void goLive();
    [[nodiscard]] bool screenFailed() const;

    Console terminal_;
    SaveFile* save_;
    std::string_view savedKeys_;
    std::size_t nextSavedKey_ = 0;
    Phase phase_;
    HeldOutput held_;
    std::ostream out_;
    KeyFeed<PlaySession> keys_;
    std::istream in_;
    std::optional<std::string> failure_;
};

}  // namespace orbalune
