#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.hpp"

namespace orbalune::testing {

// A game on string streams with an instant pause that records every wait.
struct Session {
    std::istringstream in;
    std::ostringstream out;
    std::vector<std::int32_t> pauses;
    bool markPauses = false;  // also write "{pause MS}" into the output, as the replay tool does
    Game game;

    explicit Session(std::uint32_t seed);

    // Puts `keys` on the input, for calling the game's operations directly.
    void type(const std::string& keys);
    // Types `keys` and plays until they are used up; returns the exit status.
    int play(const std::string& keys);
    // Everything printed since the last call.
    std::string takeOutput();
};

// Puts the player in the dungeon on a level drawn as text: '#' rock, '.' floor, '^' the stairs,
// '$' the Orbalune (with the treasure lying there), '@' the player (on the stairs if absent).
void useHandMadeLevel(Game& game, const std::vector<std::string>& rows);

// The output of a whole game from a seed and a key stream, pause markers included.
std::string transcript(std::uint32_t seed, const std::string& keys);

}  // namespace orbalune::testing
