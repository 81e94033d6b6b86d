#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/programs/command_line.hpp"
#include "platform/replay/playback.hpp"

namespace orbalune {

// What the replay tool was asked for on its command line.
struct ReplayCommand {
    enum class Mode {
        Keys,    // --seed N, the keys on standard input
        File,    // a saved game, instantly
        Echo,    // a saved game, instantly, with its keys after their prompts
        Watch,   // a saved game, at a watching pace
        Follow,  // a saved game as it is played, from now or (with watch) from its start
        Info,    // saved games' summaries
        Cast,    // a saved game as an asciicast recording of watching it
        Ttyrec,  // the same as a ttyrec recording
    };
    ProgramRequest request = ProgramRequest::Run;
    Mode mode = Mode::Keys;
    std::uint32_t seed = 0;
    std::string file;                // the saved game, the first if there are several
    std::vector<std::string> files;  // all of them (only --info takes more than one)
    bool showPauses = false;
    bool watch = false;  // for Follow: from the start, paced
    double speed = 1;
};

inline constexpr const char* kReplayUsage =
    "usage: orbalune-replay --seed N [--pauses] < KEYS\n"
    "       orbalune-replay [--echo] [--pauses] FILE\n"
    "       orbalune-replay --watch [--speed X] [--follow] FILE\n"
    "       orbalune-replay --follow FILE\n"
    "       orbalune-replay --cast|--ttyrec [--speed X] FILE\n"
    "       orbalune-replay --info FILE...\n";

// Throws CommandLineError.
ReplayCommand parseReplayCommand(int argc, char** argv);

// The world the replay tool runs in: its streams, and how it sleeps while watching.
struct ReplayTerminal {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    Sleep sleep;
    // The terminal whose keys steer a watched game, when standard input and output are both
    // one (its descriptor); -1 otherwise.
    int keyboardFd = -1;
    int screenFd = -1;
};

// The orbalune-replay program. It replays a game from a seed and the keys on standard input, or
// from a saved game, with instant pauses (written as "{pause MS}" markers when asked) and, when
// asked, the keys after their prompts; watches a saved game at a pace; follows one as it is
// played; or sums one up. Returns the exit status.
int replay(int argc, char** argv, const ReplayTerminal& terminal);

}  // namespace orbalune
