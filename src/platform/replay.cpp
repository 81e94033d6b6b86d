#include "platform/replay.hpp"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

#include "game/game.hpp"
#include "game/rules_version.hpp"
#include "platform/exit_status.hpp"
#include "platform/keys.hpp"
#include "platform/save_file.hpp"

namespace orbalune {

namespace {

constexpr const char* kReplayHelp =
    "Replay a game of orbalune exactly: the same seed and keys give the same bytes.\n"
    "\n"
    "  --seed N     replay from seed N (0 to 4294967295) the keys on standard input\n"
    "  FILE         replay a saved game\n"
    "  --pauses     write each wait of the game as {pause MS} instead of waiting\n"
    "  --watch      play a saved game back in real time, its keys shown as typed\n"
    "  --speed X    watch X times as fast (default 1; 0.5 is half as fast)\n"
    "  --info       sum up a saved game: seed, keys, and where it stands\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n";

enum ReplayOption : int { kSeed = 256, kPauses, kWatch, kSpeed, kInfo };

double speedArgument(const char* value) {
    const std::string_view text(value);
    double speed = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
    if (text.empty() || error != std::errc{} || stop != text.data() + text.size() ||
        !std::isfinite(speed) || speed <= 0) {
        throw CommandLineError{"the speed must be a positive number, not '" + std::string(text) +
                               "'"};
    }
    return speed;
}

// Checks that the options asked for go together, and settles the mode.
void settleMode(ReplayCommand& command, bool haveSeed, bool watch, bool info, bool haveSpeed) {
    if (command.request != ProgramRequest::Run) {
        return;
    }
    if (watch && info) {
        throw CommandLineError{"--watch and --info do not go together"};
    }
    if (haveSeed && !command.file.empty()) {
        throw CommandLineError{"a saved game has its own seed: give FILE or --seed, not both"};
    }
    if (command.file.empty()) {
        if (watch || info) {
            throw CommandLineError{std::string(watch ? "--watch" : "--info") +
                                   " needs a saved game FILE"};
        }
        if (!haveSeed) {
            throw CommandLineError{"give --seed N or a saved game FILE"};
        }
    }
    if (haveSpeed && !watch) {
        throw CommandLineError{"--speed goes with --watch"};
    }
    if (command.showPauses && (watch || info)) {
        throw CommandLineError{"--pauses goes with an instant replay"};
    }
    command.mode = watch                  ? ReplayCommand::Mode::Watch
                   : info                 ? ReplayCommand::Mode::Info
                   : command.file.empty() ? ReplayCommand::Mode::Keys
                                          : ReplayCommand::Mode::File;
}

// Where a replayed game stands at its end, in two lines.
void summarize(const std::string& file, const SavedGame& saved, const Game& game,
               std::ostream& out) {
    const auto keys = std::count_if(saved.keys.begin(), saved.keys.end(),
                                    [](char key) { return !isBlankKey(key); });
    out << file << ": seed " << saved.seed << ", " << keys << (keys == 1 ? " key" : " keys")
        << ", rules version " << kRulesVersion << '\n';
    if (game.inDungeon != 0) {
        out << "in dungeon #" << game.dungeonNumber;
    } else {
        out << "in town, next dungeon #" << game.dungeonNumber;
    }
    const Player& player = game.player;
    out << ", level " << player.level << ", " << player.hp << '/' << player.maxHp << " HP, "
        << player.mokels << (player.mokels == 1 ? " mokel, " : " mokels, ")
        << (player.isDead() ? "dead" : "alive") << '\n';
}

// Plays the game as the command asks; returns the game's exit status.
int playBack(const ReplayCommand& command, const SavedGame& saved, const ReplayTerminal& terminal) {
    std::ostream& out = terminal.out;
    if (command.mode == ReplayCommand::Mode::Watch) {
        WatchSession session(saved, out, command.speed, terminal.sleep);
        const int status = Game(session.console()).run();
        out << '\n' << std::flush;  // the shell's prompt on a line of its own, after the last one
        return status;
    }
    if (command.mode == ReplayCommand::Mode::Info) {
        std::istringstream keys(saved.keys);
        std::ostream nowhere(nullptr);  // a stream without a buffer drops what it is given
        Game game(Console{keys, nowhere, {}, saved.seed});
        const int status = game.run();
        summarize(command.file, saved, game, out);
        return status;
    }
    auto pause = [&out, show = command.showPauses](std::int32_t ms) {
        if (show) {
            out << "{pause " << ms << '}';
        }
    };
    std::istringstream fileKeys(saved.keys);
    std::istream& keys = command.mode == ReplayCommand::Mode::Keys ? terminal.in : fileKeys;
    return Game(Console{keys, out, pause, saved.seed}).run();
}

}  // namespace

ReplayCommand parseReplayCommand(int argc, char** argv) {
    static constexpr option kOptions[] = {
        {"seed", required_argument, nullptr, kSeed},
        {"pauses", no_argument, nullptr, kPauses},
        {"watch", no_argument, nullptr, kWatch},
        {"speed", required_argument, nullptr, kSpeed},
        {"info", no_argument, nullptr, kInfo},
        {"help", no_argument, nullptr, kHelpOption},
        {"version", no_argument, nullptr, kVersionOption},
        {nullptr, 0, nullptr, 0},
    };
    ReplayCommand command;
    bool haveSeed = false;
    bool watch = false;
    bool info = false;
    bool haveSpeed = false;
    const CommandLine line =
        readCommandLine(argc, argv, ":h", kOptions, [&](int id, const char* value) {
            switch (id) {
                case kSeed:
                    command.seed = seedArgument(value);
                    haveSeed = true;
                    break;
                case kPauses:
                    command.showPauses = true;
                    break;
                case kWatch:
                    watch = true;
                    break;
                case kSpeed:
                    command.speed = speedArgument(value);
                    haveSpeed = true;
                    break;
                case kInfo:
                    info = true;
                    break;
                default:
                    break;
            }
        });
    if (line.operands.size() > 1) {
        throw CommandLineError{"unexpected argument '" + line.operands[1] + "'"};
    }
    if (!line.operands.empty()) {
        command.file = line.operands.front();
    }
    command.request = line.request;
    settleMode(command, haveSeed, watch, info, haveSpeed);
    return command;
}

int replay(int argc, char** argv, const ReplayTerminal& terminal) {
    ReplayCommand command;
    try {
        command = parseReplayCommand(argc, argv);
    } catch (const CommandLineError& error) {
        terminal.err << "orbalune-replay: " << error.message << '\n' << kReplayUsage;
        return kExitUsage;
    }
    std::ostream& out = terminal.out;
    if (command.request == ProgramRequest::Help) {
        out << kReplayUsage << '\n' << kReplayHelp << std::flush;
        return 0;
    }
    if (command.request == ProgramRequest::Version) {
        out << "orbalune-replay " << ORBALUNE_VERSION << std::endl;
        return 0;
    }

    SavedGame saved{command.seed, {}};
    if (command.mode != ReplayCommand::Mode::Keys) {
        try {
            saved = readSaveFile(command.file);
        } catch (const SaveFileError& error) {
            terminal.err << "orbalune-replay: " << command.file << ": " << error.reason << '\n';
            return kExitUsage;
        }
    }

    const int status = playBack(command, saved, terminal);
    if (terminal.out.fail()) {
        terminal.err << "orbalune-replay: cannot write to standard output\n";
        return kExitWriteFailed;
    }
    return status;
}

}  // namespace orbalune
