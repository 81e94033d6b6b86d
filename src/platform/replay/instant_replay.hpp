#pragma once

#include <cstdint>
#include <ostream>
#include <streambuf>

namespace orbalune {

// What an instant replay shows beside the game's own bytes.
struct InstantExtras {
    bool pauses = false;  // each wait as "{pause MS}"
    bool keys = false;    // each key after the prompt that took it, as the player's terminal did
};

// Plays the game from `seed` and `keys` at once, its waits not waited, its output handed to
// `out` in large blocks: no one reads a replay line by line. Returns the game's status; `out`
// is left failed if any of it was lost.
int replayInstantly(std::streambuf& keys, std::uint32_t seed, std::ostream& out,
                    InstantExtras extras);

}  // namespace orbalune
