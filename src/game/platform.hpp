#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

namespace orbalune {

// Waits `ms` milliseconds by polling the process clock, as a fight's pacing needs.
void busyWait(std::int32_t ms);

// Plays a game on the terminal: standard streams, seeded from the wall clock.
int playInTerminal();

// What the replay tool was asked for on its command line.
struct ReplayOptions {
    std::uint32_t seed = 0;
    bool showPauses = false;
};

// Parses "--seed N [--pauses]"; nothing when the arguments are anything else.
std::optional<ReplayOptions> parseReplayArguments(int argc, const char* const* argv);

inline constexpr int kExitUsage = 2;

// Replays a game from a seed and the keys on `in`, with instant pauses (written to `out` as
// "{pause MS}" markers when asked). Returns the process exit status.
int replay(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace orbalune
