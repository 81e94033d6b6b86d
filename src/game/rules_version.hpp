#pragma once

#include <cstdint>

namespace orbalune {

// The version of the game's rules. A game is its seed and its keys, so a saved game plays back
// into the same game only under the same rules: raise this whenever a change makes the same seed
// and keys play differently (another draw, another number, another text). Saved games of other
// rules are refused rather than replayed into a different game.
inline constexpr std::int32_t kRulesVersion = 1;

}  // namespace orbalune
