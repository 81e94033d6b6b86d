#pragma once

#include <cstddef>
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

// Far more than any header this format writes: a longer one is not ours.
inline constexpr std::size_t kMaxHeaderBytes = 256;
// How much of a file's start settles whether it has a header: the longest one, and its end.
inline constexpr std::size_t kHeaderProbeBytes = kMaxHeaderBytes + 2;

// A saved game's header as read: its seed, and where its keys begin.
struct SaveHeader {
    std::uint32_t seed = 0;
    std::size_t size = 0;  // bytes up to and including the empty line
};

// Reads the header at the start of a file, given at least the file's first kHeaderProbeBytes
// (or the whole file when it is shorter), so that no more of a file than that is read before
// it is known to be a saved game. Throws SaveFileError.
SaveHeader parseSaveHeader(std::string_view bytes);

// Reads a whole saved game. Throws SaveFileError when the bytes are not one, are damaged, or were
// written by another format or under other rules.
SavedGame parseSavedGame(std::string_view bytes);

}  // namespace orbalune
