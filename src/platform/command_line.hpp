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

// Walks a command line with getopt_long, so that "--save=FILE", "--" and unique abbreviations
// work as in every console program. `take` is called with each option's `val` and its value
// (null for an option without one) and may throw CommandLineError. Returns the operands.
// Throws CommandLineError for an unknown option, a missing value, or an option given twice.
std::vector<std::string> readCommandLine(
    int argc, char** argv, const char* shortOptions, const option* longOptions,
    const std::function<void(int id, const char* value)>& take);

// A seed from the command line, 0 to 4294967295.
std::uint32_t seedArgument(const char* value);

// What the user asked of a program, beyond running it.
enum class ProgramRequest { Run, Help, Version };

// The command line of the game itself.
struct GameCommand {
    ProgramRequest request = ProgramRequest::Run;
    std::optional<std::string> savePath;
    std::optional<std::uint32_t> seed;
};

inline constexpr const char* kGameUsage =
    "usage: orbalune [--save FILE] [--seed N] [--help] [--version]";

// Throws CommandLineError.
GameCommand parseGameCommand(int argc, char** argv);

}  // namespace orbalune
