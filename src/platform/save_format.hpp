#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orbalune {

// A saved game is its seed and the keys the game took, because the game is fully determined by
// them. On disk it is a short text header of "name value" lines ending with an empty line, then
// the keys as raw bytes, one byte a key:
//
//     file orbalune saved game
//     format 1
//     rules 1
//     seed 42
//
//     ennnaa...
struct SavedGame {
    std::uint32_t seed = 0;
    std::string keys;

    bool operator==(const SavedGame&) const = default;
};

inline constexpr std::int32_t kSaveFormatVersion = 1;

// What is wrong with a saved game, in words for the player ("truncated header").
struct SaveFileError {
    std::string reason;
};

// The header a new saved game starts with, its empty line included.
std::string saveHeader(std::uint32_t seed);

// Reads a whole saved game. Throws SaveFileError when the bytes are not one, are damaged, or were
// written by another format or under other rules.
SavedGame parseSavedGame(std::string_view bytes);

}  // namespace orbalune
