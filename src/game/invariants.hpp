#pragma once

#include <string>
#include <vector>

namespace orbalune {

struct Game;

// Checks what must hold between two commands of any game and describes each breach; an
// empty list means the game is sound. Reads only: it never changes the game or its output.
std::vector<std::string> invariantBreaches(const Game& game);

}  // namespace orbalune
