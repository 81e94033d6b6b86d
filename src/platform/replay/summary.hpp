#pragma once

#include <ostream>
#include <string>

#include "platform/saved_games/save_format.hpp"

namespace orbalune {

// Plays a saved game silently and says in two lines what it is and where it stands at its end.
// Returns the game's status.
int summarize(const std::string& file, const SavedGame& saved, std::ostream& out);

}  // namespace orbalune
