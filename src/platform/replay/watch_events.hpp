#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/saved_games/saved_keys.hpp"

namespace orbalune {

// Where a saved game goes from town to the dungeon or back, and where its fights begin, as
// positions: the number of keys taken (blanks, which the game passes over, not counted) when the
// game asks for the next one. A fight begins at
// the key that answers its first menu. Found by playing the game through, silently, and looking
// at it before each key it takes.
struct WatchEvents {
    std::vector<std::size_t> placeChanges;
    std::vector<std::size_t> fights;
    std::size_t keysSeen = 0;  // how many bytes of keys the game was played through

    static WatchEvents find(SavedKeys& keys, std::uint32_t seed);
};

// The first of `positions` (in order) after `position`, and the last before it.
std::optional<std::size_t> nextAfter(const std::vector<std::size_t>& positions,
                                     std::size_t position);
std::optional<std::size_t> lastBefore(const std::vector<std::size_t>& positions,
                                      std::size_t position);

}  // namespace orbalune
