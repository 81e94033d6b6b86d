#include "platform/replay/replay.hpp"

#include <getopt.h>

#include <array>
#include <exception>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "game/game.hpp"
#include "platform/programs/decimal.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/programs/program_output.hpp"
#include "platform/replay/instant_replay.hpp"
#include "platform/replay/key_streams.hpp"
#include "platform/replay/steered_watch.hpp"
#include "platform/replay/summary.hpp"
#include "platform/saved_games/followed_save.hpp"
#include "platform/saved_games/save_file.hpp"
#include "platform/terminal/single_key_mode.hpp"
#include "platform/terminal/status_line.hpp"
#include "platform/terminal/terminal_keys.hpp"
#include "platform/terminal/terminal_locale.hpp"
#include "platform/terminal/tracked_line.hpp"

namespace orbalune {

namespace {

constexpr std::string_view kProgram = "orbalune-replay";

constexpr const char* kReplayHelp =
    "Replay a game of orbalune exactly: the same seed and keys give the same bytes.\n"
    "\n"
    "  --seed N     replay from seed N (0 to 4294967295) the keys on standard input\n"
    "  FILE         replay a saved game\n"
    "  --pauses     write each wait of the game as {pause MS} instead of waiting\n"
    "  --echo       show each key of FILE after the prompt that took it, as the player saw it\n"
    "  --watch      play a saved game back at a pace: each key half a second after its prompt,\n"
    "               every wait of the game waited out\n"
    "  --speed X    watch X times as fast (default 1; 0.5 is half as fast)\n"
    "  --follow     show a game as it is played: the screen of now, then each key as it comes,\n"
    "               until the game ends; with --watch, from its start\n"
    "  --info       sum up a saved game: seed, keys, and where it stands\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Watching at a terminal, these keys steer: space pause, l or right arrow one key on,\n"
    "h or left arrow one key back, > < the next and previous change of place, ] [ the next and\n"
    "previous fight, g NUMBER Enter that many keys in, + - twice and half the speed, End the\n"
    "end (following: live again), q or Escape stop, ? these keys.\n";

enum ReplayOption : int { kSeed = 256, kPauses, kWatch, kSpeed, kInfo, kFollow, kEcho };

double speedArgument(const char* value) {
    const std::optional<double> speed = parsePositiveDecimal(value);
    if (!speed) {
        throw CommandLineError{"the speed must be a positive number, not '" + std::string(value) +
                               "'"};
    }
    return *speed;
}

// The options that choose how a file is played, as given.
struct ModeOptions {
    bool seed = false;
    bool watch = false;
    bool info = false;
    bool speed = false;
    bool follow = false;
    bool echo = false;
};

// Checks that the options asked for go together, and settles the mode.
void settleMode(ReplayCommand& command, const ModeOptions& given) {
    if (command.request != ProgramRequest::Run) {
        return;
    }
    struct Named {
        bool given;
        const char* name;
    };
    // Each of these plays a file its own way; only watching and following go together.
    const std::array<Named, 4> ways = {Named{given.watch, "--watch"},
                                       Named{given.follow, "--follow"}, Named{given.info, "--info"},
                                       Named{given.echo, "--echo"}};
    std::optional<Named> chosen;
    for (const Named& way : ways) {
        if (!way.given) {
            continue;
        }
        if (chosen && !(given.watch && way.name == std::string_view("--follow"))) {
            throw CommandLineError{std::string(chosen->name) + " and " + way.name +
                                   " do not go together"};
        }
        chosen = chosen.value_or(way);
    }
    if (given.seed && !command.file.empty()) {
        throw CommandLineError{"a saved game has its own seed: give FILE or --seed, not both"};
    }
    if (command.file.empty()) {
        if (chosen) {
            throw CommandLineError{std::string(chosen->name) + " needs a saved game FILE"};
        }
        if (!given.seed) {
            throw CommandLineError{"give --seed N or a saved game FILE"};
        }
    }
    if (given.speed && !given.watch) {
        throw CommandLineError{"--speed goes with --watch"};
    }
    if (command.showPauses && (given.watch || given.info || given.follow)) {
        throw CommandLineError{"--pauses goes with an instant replay"};
    }
    command.watch = given.watch;
    command.mode = given.follow           ? ReplayCommand::Mode::Follow
                   : given.watch          ? ReplayCommand::Mode::Watch
                   : given.info           ? ReplayCommand::Mode::Info
                   : given.echo           ? ReplayCommand::Mode::Echo
                   : command.file.empty() ? ReplayCommand::Mode::Keys
                                          : ReplayCommand::Mode::File;
}

// Watches a game at the terminal whose keys steer it; nullopt if the terminal cannot give single
// keys.
std::optional<int> watchSteered(PlaybackKeys keys, const ReplayCommand& command,
                                const ReplayTerminal& terminal) {
    SingleKeyMode singleKeys(
        terminal.keyboardFd,
        SingleKeyMode::Steering{true, true, terminal.screenFd, StatusLine::kLeaving});
    if (!singleKeys.active()) {
        return std::nullopt;
    }
    TerminalKeys keyboard(terminal.keyboardFd, TerminalKeys::kNoEndKey, localeSpeaksUtf8(),
                          singleKeys.continuedFd());
    SteeredWatch watch(keys, terminal.out, keyboard, command.speed);
    if (!watch.run()) {
        terminal.out.setstate(std::ios::badbit);  // for finishOutput to say so
    }
    return kExitAtEndOfInput;
}

// Plays a game back in time, from a file as it was read or as it is played.
int playInTime(PlaybackKeys keys, const ReplayCommand& command, const ReplayTerminal& terminal) {
    if (command.watch && terminal.keyboardFd >= 0) {
        if (const std::optional<int> status = watchSteered(keys, command, terminal)) {
            return *status;
        }
    }
    const std::optional<double> watchSpeed =
        command.watch ? std::optional<double>(command.speed) : std::nullopt;
    TrackedLine shownLine(*terminal.out.rdbuf());
    std::ostream screen(&shownLine);
    Playback playback(keys, screen, watchSpeed, terminal.sleep);
    const int status = Game(playback.console()).run();
    playback.finish();
    if (!shownLine.atLineStart()) {
        screen << '\n';  // the shell's prompt on a line of its own
    }
    screen.flush();
    if (screen.fail()) {
        terminal.out.setstate(std::ios::badbit);  // for finishOutput to say so
    }
    return status;
}

// Plays the game as the command asks; returns the game's exit status. Throws SaveFileError.
int playBack(const ReplayCommand& command, const ReplayTerminal& terminal) {
    using Mode = ReplayCommand::Mode;
    if (command.mode == Mode::Keys) {
        return replayInstantly(*terminal.in.rdbuf(), command.seed, terminal.out,
                               {command.showPauses, false});
    }
    if (command.mode == Mode::Follow) {
        FollowedSave followed(command.file);
        return playInTime({followed.keys(), followed.seed(), &followed}, command, terminal);
    }
    const SavedGame saved = readSaveFile(command.file);
    switch (command.mode) {
        case Mode::Watch:
            return playInTime({saved.keys, saved.seed}, command, terminal);
        case Mode::Info:
            return summarize(command.file, saved, terminal.out);
        default: {
            KeyView keys(saved.keys);
            return replayInstantly(keys, saved.seed, terminal.out,
                                   {command.showPauses, command.mode == Mode::Echo});
        }
    }
}

}  // namespace

ReplayCommand parseReplayCommand(int argc, char** argv) {
    static constexpr option kOptions[] = {
        {"seed", required_argument, nullptr, kSeed},
        {"pauses", no_argument, nullptr, kPauses},
        {"watch", no_argument, nullptr, kWatch},
        {"speed", required_argument, nullptr, kSpeed},
        {"info", no_argument, nullptr, kInfo},
        {"follow", no_argument, nullptr, kFollow},
        {"echo", no_argument, nullptr, kEcho},
        {"help", no_argument, nullptr, kHelpOption},
        {"version", no_argument, nullptr, kVersionOption},
        {nullptr, 0, nullptr, 0},
    };
    ReplayCommand command;
    ModeOptions given;
    const CommandLine line =
        readCommandLine(argc, argv, ":h", kOptions, [&](int id, const char* value) {
            switch (id) {
                case kSeed:
                    command.seed = seedArgument(value);
                    given.seed = true;
                    break;
                case kPauses:
                    command.showPauses = true;
                    break;
                case kSpeed:
                    command.speed = speedArgument(value);
                    given.speed = true;
                    break;
                case kWatch:
                    given.watch = true;
                    break;
                case kInfo:
                    given.info = true;
                    break;
                case kFollow:
                    given.follow = true;
                    break;
                case kEcho:
                    given.echo = true;
                    break;
                default:
                    break;
            }
        });
    if (line.operands.size() > 1) {
        throw CommandLineError{"unexpected argument '" + line.operands[1] + "'"};
    }
    if (!line.operands.empty()) {
        if (line.operands.front().empty()) {
            throw CommandLineError{"the saved game FILE is an empty name"};
        }
        command.file = line.operands.front();
    }
    command.request = line.request;
    settleMode(command, given);
    return command;
}

int replay(int argc, char** argv, const ReplayTerminal& terminal) {
    ReplayCommand command;
    try {
        command = parseReplayCommand(argc, argv);
    } catch (const CommandLineError& error) {
        reportError(terminal.err, kProgram, error.message);
        terminal.err << kReplayUsage;
        return kExitUsage;
    }
    std::ostream& out = terminal.out;
    if (command.request == ProgramRequest::Help) {
        out << kReplayUsage << '\n' << kReplayHelp;
        return finishOutput(out, terminal.err, kProgram, 0);
    }
    if (command.request == ProgramRequest::Version) {
        out << "orbalune-replay " << ORBALUNE_VERSION << '\n';
        return finishOutput(out, terminal.err, kProgram, 0);
    }
    try {
        return finishOutput(out, terminal.err, kProgram, playBack(command, terminal));
    } catch (const SaveFileError& error) {
        out.flush();
        reportError(terminal.err, kProgram, command.file + ": " + error.reason);
        return kExitUsage;
    } catch (const std::exception& error) {
        // A clock that cannot be slept on, memory that runs out: said, never a crash.
        out.flush();
        reportError(terminal.err, kProgram, error.what());
        return kExitOnFatalError;
    }
}

}  // namespace orbalune
