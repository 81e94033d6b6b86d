#pragma once

namespace orbalune {

// Exit statuses of the programs, beside the game's own (0 at the end of input, 1 when a
// consistency check fails).
inline constexpr int kExitUsage = 2;        // a bad command line, or a saved game refused
inline constexpr int kExitWriteFailed = 3;  // a key could not be saved, or output not written

}  // namespace orbalune
