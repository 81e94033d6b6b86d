#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/saved_games/held_output.hpp"

namespace orbalune {

class SavedKeys;

// FNV-1a, 64 bits, of a saved game's keys, key by key as the game takes them: whether a snapshot
// belongs to the keys of a file.
struct KeysDigest {
    std::uint64_t value = 14695981039346656037ULL;

    void add(char key) { value = (value ^ static_cast<unsigned char>(key)) * 1099511628211ULL; }
    // The digest of the first `count` keys.
    static std::uint64_t of(SavedKeys& keys, std::size_t count);
};

// A saved game as it stood before one of its commands, to play on from there instead of from
// its first key: how many of the file's keys it had taken and their digest, the screenful the
// player saw then, and the game itself (Game::snapshot). Only ever a shortcut: the file's keys
// are the game, and a snapshot that does not match them is not used.
struct GameSnapshot {
    std::size_t taken = 0;
    std::uint64_t keysDigest = 0;
    ScreenAtKey screen;
    std::string game;

    // As bytes to keep beside a game, with a checksum; decode refuses bytes that are damaged or
    // of another format.
    [[nodiscard]] std::string encode() const;
    static std::optional<GameSnapshot> decode(std::string_view bytes);

    // Whether this snapshot is of the first keys of `keys`, at most `end` of them.
    [[nodiscard]] bool belongsTo(SavedKeys& keys, std::size_t end) const;
};

}  // namespace orbalune
