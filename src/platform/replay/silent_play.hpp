#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/saved_games/saved_keys.hpp"

namespace orbalune {

struct Game;

// Plays a game from `seed` and `keys` through at once, showing nothing and waiting for nothing,
// and lets `look` see it each time it takes a key, with the number of keys taken before that one
// (blanks, which the game passes over, are not keys), and once more when the keys have run out.
// Returns the game's status.
int playSilently(SavedKeys& keys, std::uint32_t seed,
                 const std::function<void(const Game& game, std::size_t taken)>& look);

}  // namespace orbalune
