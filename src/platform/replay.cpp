#include "platform/replay.hpp"

#include <getopt.h>

#include <ostream>

#include "game/game.hpp"
#include "platform/command_line.hpp"
#include "platform/exit_status.hpp"

namespace orbalune {

namespace {
enum ReplayOption : int { kSeed = 256, kPauses };
}  // namespace

ReplayCommand parseReplayCommand(int argc, char** argv) {
    static constexpr option kOptions[] = {
        {"seed", required_argument, nullptr, kSeed},
        {"pauses", no_argument, nullptr, kPauses},
        {nullptr, 0, nullptr, 0},
    };
    ReplayCommand command;
    bool haveSeed = false;
    const std::vector<std::string> operands =
        readCommandLine(argc, argv, ":", kOptions, [&](int id, const char* value) {
            if (id == kSeed) {
                command.seed = seedArgument(value);
                haveSeed = true;
            } else {
                command.showPauses = true;
            }
        });
    if (!operands.empty()) {
        throw CommandLineError{"unexpected argument '" + operands.front() + "'"};
    }
    if (!haveSeed) {
        throw CommandLineError{"--seed is required"};
    }
    return command;
}

int replay(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
    ReplayCommand command;
    try {
        command = parseReplayCommand(argc, argv);
    } catch (const CommandLineError& error) {
        err << "orbalune-replay: " << error.message << '\n' << kReplayUsage << '\n';
        return kExitUsage;
    }
    auto pause = [&out, show = command.showPauses](std::int32_t ms) {
        if (show) {
            out << "{pause " << ms << '}';
        }
    };
    Game game(Console{in, out, pause, command.seed});
    return game.run();
}

}  // namespace orbalune
