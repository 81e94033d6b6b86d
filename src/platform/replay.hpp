#pragma once

#include <cstdint>
#include <iosfwd>

namespace orbalune {

// What the replay tool was asked for on its command line.
struct ReplayCommand {
    std::uint32_t seed = 0;
    bool showPauses = false;
};

inline constexpr const char* kReplayUsage =
    "usage: orbalune-replay --seed N [--pauses]   (N from 0 to 4294967295)";

// Parses "--seed N [--pauses]"; throws CommandLineError for anything else.
ReplayCommand parseReplayCommand(int argc, char** argv);

// The orbalune-replay program: replays a game from a seed and the keys on `in`, with instant
// pauses (written to `out` as "{pause MS}" markers when asked). Returns the exit status.
int replay(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace orbalune
