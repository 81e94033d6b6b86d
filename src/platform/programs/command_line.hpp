#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct option;

namespace orbalune {

// A command line that cannot be followed; `message` says why, for the line before the usage.
struct CommandLineError {
    std::string message;
};

// What the user asked of a program, beyond running it.
enum class ProgramRequest { Run, Help, Version };

// The ids of the options every program has: -h/--help and --version. Other ids start at 256.
inline constexpr int kHelpOption = 'h';
inline constexpr int kVersionOption = 255;

// A command line once its options are taken.
struct CommandLine {
    ProgramRequest request = ProgramRequest::Run;
    std::vector<std::string> operands;
};

// Walks a command line with getopt_long, so that "--save=FILE", "--" and unique abbreviations
// work as in every console program. Help and version are settled here; `take` is called with
// every other option's `val` and its value (null for an option without one) and may throw
// CommandLineError. Throws CommandLineError for an unknown option, a missing value, or an option
// given twice.
CommandLine readCommandLine(int argc, char** argv, const char* shortOptions,
                            const option* longOptions,
                            const std::function<void(int id, const char* value)>& take);

// A seed from the command line, 0 to 4294967295.
std::uint32_t seedArgument(const char* value);

// The command line of the game itself.
struct GameCommand {
    ProgramRequest request = ProgramRequest::Run;
    std::optional<std::string> savePath;
    std::optional<std::uint32_t> seed;
    bool daily = false;      // today's dungeon: the seed is the date
    bool lineInput = false;  // the terminal's own line editing, even at a terminal
};

inline constexpr const char* kGameUsage =
    "usage: orbalune [--save FILE] [--seed N | --daily] [--line] [--help] [--version]";

// Throws CommandLineError.
GameCommand parseGameCommand(int argc, char** argv);

}  // namespace orbalune
