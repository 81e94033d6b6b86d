#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>

#include "game/console.hpp"
#include "platform/saved_games/game_snapshot.hpp"

namespace orbalune {

// The orbalune program: reads its command line, opens or creates the saved game it names, and
// plays on `terminal` (whose seed is the clock's, for a new game without --seed). Errors go to
// `err`. `keyboardFd` is the terminal the player types at when the console's input and output
// are one, to read single keys from; -1 otherwise. `screenAtTerminal`: whether the output is a
// terminal, where the shell's prompt must find a line of its own. Returns the exit status.
int playGame(int argc, char** argv, const Console& terminal, std::ostream& err, int keyboardFd = -1,
             bool screenAtTerminal = false);

// For a platform that keeps snapshots beside its saved games (a web page, which resumes games
// often and replays slowly): the snapshot to resume the saved game from, if it matches the file,
// and where to hand a snapshot before each command the player is asked for.
struct KeptSnapshots {
    std::optional<GameSnapshot> resumeFrom;
    std::function<void(const GameSnapshot&)> keep;
};
int playGame(int argc, char** argv, const Console& terminal, std::ostream& err, int keyboardFd,
             bool screenAtTerminal, KeptSnapshots& snapshots);

// The orbalune program on the process's own standard streams.
int playAtTerminal(int argc, char** argv);

// Waits `ms` milliseconds of real time, as a fight's pacing needs, asleep: a waiting game costs
// the machine nothing, and keeps its pace however busy the machine is.
void sleepingPause(std::int32_t ms);

// The real terminal: standard input and output, seeded from the wall clock, waiting with
// sleepingPause.
Console terminalConsole();

}  // namespace orbalune
