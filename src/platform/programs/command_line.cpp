#include "platform/programs/command_line.hpp"

#include <getopt.h>

#include <set>

#include "platform/programs/decimal.hpp"

namespace orbalune {

namespace {

// An option's name as the user knows it: "--seed", or "-h" for a short one without a long name.
std::string optionName(int id, const option* longOptions) {
    for (const option* entry = longOptions; entry->name != nullptr; ++entry) {
        if (entry->val == id) {
            return std::string("--") + entry->name;
        }
    }
    return {'-', static_cast<char>(id)};
}

}  // namespace

CommandLine readCommandLine(int argc, char** argv, const char* shortOptions,
                            const option* longOptions,
                            const std::function<void(int id, const char* value)>& take) {
    // getopt keeps its place in globals: start afresh, and report errors ourselves.
    optind = 0;
    opterr = 0;
    CommandLine line;
    std::set<int> seen;
    for (int id = 0; (id = getopt_long(argc, argv, shortOptions, longOptions, nullptr)) != -1;) {
        if (id == '?') {
            // optopt is 0 for an unknown long option, and the option's own id for a long option
            // given a value it does not take.
            const std::string given = argv[optind - 1];
            throw CommandLineError{optopt == 0 ? "unknown option '" + given + "'"
                                   : given.starts_with("--")
                                       ? "option '" + given + "' takes no value"
                                       : "unknown option '" + optionName(optopt, longOptions) +
                                             "'"};
        }
        if (id == ':') {
            throw CommandLineError{"option '" + optionName(optopt, longOptions) +
                                   "' needs a value"};
        }
        if (!seen.insert(id).second) {
            throw CommandLineError{"option '" + optionName(id, longOptions) + "' given twice"};
        }
        if (id == kHelpOption) {
            line.request = ProgramRequest::Help;
        } else if (id == kVersionOption) {
            line.request = ProgramRequest::Version;
        } else {
            take(id, optarg);
        }
    }
    line.operands.assign(argv + optind, argv + argc);
    return line;
}

std::uint32_t seedArgument(const char* value) {
    const std::optional<std::uint32_t> seed = parseUint32(value);
    if (!seed) {
        throw CommandLineError{"the seed must be a number from 0 to 4294967295, not '" +
                               std::string(value) + "'"};
    }
    return *seed;
}

namespace {
enum GameOption : int { kSave = 256, kSeed, kDaily, kLine };
}  // namespace

GameCommand parseGameCommand(int argc, char** argv) {
    static constexpr option kOptions[] = {
        {"save", required_argument, nullptr, kSave},
        {"seed", required_argument, nullptr, kSeed},
        {"daily", no_argument, nullptr, kDaily},
        {"line", no_argument, nullptr, kLine},
        {"help", no_argument, nullptr, kHelpOption},
        {"version", no_argument, nullptr, kVersionOption},
        {nullptr, 0, nullptr, 0},
    };
    GameCommand command;
    const CommandLine line =
        readCommandLine(argc, argv, ":h", kOptions, [&command](int id, const char* value) {
            if (id == kSave) {
                if (*value == '\0') {
                    throw CommandLineError{"the saved game FILE is an empty name"};
                }
                command.savePath = value;
            } else if (id == kLine) {
                command.lineInput = true;
            } else if (id == kDaily) {
                command.daily = true;
            } else {
                command.seed = seedArgument(value);
            }
        });
    if (!line.operands.empty()) {
        throw CommandLineError{"unexpected argument '" + line.operands.front() + "'"};
    }
    if (command.daily && command.seed) {
        throw CommandLineError{"--daily is a seed of its own: give --seed or --daily, not both"};
    }
    command.request = line.request;
    return command;
}

}  // namespace orbalune
