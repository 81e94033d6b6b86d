#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/os/unique_fd.hpp"
#include "platform/saved_games/save_file.hpp"

namespace orbalune {

// A saved game as its player plays it: the keys the file holds, and those it gains, read from
// the descriptor opened first (a file put in its place later is another game). It only reads:
// its one look at the lock that marks a game in play is so brief that the player's game, which
// waits a moment for a lock in use, still starts.
class FollowedSave {
public:
    // Throws SaveFileError.
    explicit FollowedSave(const std::string& path);

    [[nodiscard]] std::uint32_t seed() const { return reader_.seed; }
    // Every key seen so far.
    [[nodiscard]] SavedKeys& keys() { return keys_; }

    // Sleeps until the file holds more than `count` keys (true), or until no one plays it and it
    // has no more (false).
    bool awaitMoreThan(std::size_t count);

    // The same, without sleeping, for a follower that waits on other things too: whether the
    // file holds more than `count` keys (true), or never will (false); nothing while its game
    // goes on without them.
    std::optional<bool> moreThan(std::size_t count);
    // What to wait on meanwhile: a descriptor readable when the file is written (-1: none), and
    // how long to wait at most before looking again.
    [[nodiscard]] int changesFd() const { return changes_ ? changes_.get() : -1; }
    [[nodiscard]] std::chrono::milliseconds lookInterval() const;

private:
    void awaitChange();

    SaveReader reader_;
    SavedKeys keys_;
    UniqueFd changes_;  // readable when the file is written; empty where none can be had
};

}  // namespace orbalune
