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
#include "platform/replay/watch_recording.hpp"
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
    "  --speed X    watch (or record) X times as fast (default 1; 0.5 is half as fast)\n"
    "  --follow     show a game as it is played: the screen of now, then each key as it comes,\n"
    "               until the game ends; with --watch, from its start\n"
    "  --cast       write FILE as an asciicast v2 recording of watching it (asciinema)\n"
    "  --ttyrec     write FILE as a ttyrec recording of watching it (ttyplay, ipbt)\n"
    "  --info       sum up a saved game: seed, keys, and where it stands; with several, a\n"
    "               table of them, the deepest first\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Watching at a terminal, these keys steer: space pause, l or right arrow one key on,\n"
    "h or left arrow one key back, > < the next and previous change of place, ] [ the next and\n"
    "previous fight, g NUMBER Enter that many keys in, + - twice and half the speed, End the\n"
    "end (following: live again), q or Escape stop, ? these keys.\n";

enum ReplayOption : int {
    kSeed = 256,
    kPauses,
    kWatch,
    kSpeed,
    kInfo,
    kFollow,
    kEcho,
    kCast,
    kTtyrec
};

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
    bool cast = false;
    bool ttyrec = false;
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
    const std::array<Named, 6> ways = {
        Named{given.watch, "--watch"}, Named{given.follow, "--follow"},
        Named{given.info, "--info"},   Named{given.echo, "--echo"},
        Named{given.cast, "--cast"},   Named{given.ttyrec, "--ttyrec"}};
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
    const bool recorded = given.cast || given.ttyrec;
    if (given.speed && !given.watch && !recorded) {
        throw CommandLineError{"--speed goes with --watch, --cast or --ttyrec"};
    }
    if (command.showPauses && (given.watch || given.info || given.follow || recorded)) {
        throw CommandLineError{"--pauses goes with an instant replay"};
    }
    if (command.files.size() > 1 && !given.info) {
        throw CommandLineError{"unexpected argument '" + command.files[1] + "'"};
    }
    command.watch = given.watch;
    command.mode = given.follow           ? ReplayCommand::Mode::Follow
                   : given.watch          ? ReplayCommand::Mode::Watch
                   : given.info           ? ReplayCommand::Mode::Info
                   : given.cast           ? ReplayCommand::Mode::Cast
                   : given.ttyrec         ? ReplayCommand::Mode::Ttyrec
                   : given.echo           ? ReplayCommand::Mode::Echo
                   : command.file.empty() ? ReplayCommand::Mode::Keys
                                          : ReplayCommand::Mode::File;
}

// Watches a game at the terminal whose keys steer it; false if the terminal cannot give single
// keys.
bool watchSteered(PlaybackKeys keys, const ReplayCommand& command, const ReplayTerminal& terminal) {
    SingleKeyMode singleKeys(
        terminal.keyboardFd,
        SingleKeyMode::Steering{true, true, terminal.screenFd, StatusLine::kLeaving});
    if (!singleKeys.active()) {
        return false;
    }
    TerminalKeys keyboard(terminal.keyboardFd, TerminalKeys::kNoEndKey, localeSpeaksUtf8(),
                          singleKeys.continuedFd());
    SteeredWatch watch(keys, terminal.out, keyboard, command.speed);
    if (!watch.run()) {
        terminal.out.setstate(std::ios::badbit);  // for finishOutput to say so
    }
    return true;
}

// Plays a game back in time, from a file as it was read or as it is played.
int playInTime(PlaybackKeys keys, const ReplayCommand& command, const ReplayTerminal& terminal) {
    if (command.watch && terminal.keyboardFd >= 0 && watchSteered(keys, command, terminal)) {
        return kExitAtEndOfInput;  // the viewer stopped watching
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

// One saved game in two lines, or several in a table; a file that cannot be read makes the
// status that of bad input, after the table. Throws SaveFileError for one file alone.
int sumUp(const std::vector<std::string>& files, std::ostream& out) {
    if (files.size() == 1) {
        const GameRecord record = recordOf(files.front());
        if (record.failure) {
            throw SaveFileError{*record.failure};
        }
        writeSummary(record, out);
        return record.status;
    }
    std::vector<GameRecord> records;
    int status = kExitAtEndOfInput;
    bool unread = false;
    for (const std::string& file : files) {
        records.push_back(recordOf(file));
        unread = unread || records.back().failure.has_value();
        status = std::max(status, records.back().status);
    }
    writeTable(std::move(records), out);
    return unread ? kExitUsage : status;
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
    if (command.mode == Mode::Info) {
        return sumUp(command.files, terminal.out);
    }
    const SaveReader saved = openSaveReader(command.file);
    SavedKeys keys = saved.keys();
    switch (command.mode) {
        case Mode::Watch:
            return playInTime({keys, saved.seed}, command, terminal);
        case Mode::Cast:
        case Mode::Ttyrec:
            return recordWatch(
                command.file, saved.seed, keys,
                command.mode == Mode::Cast ? RecordingFormat::Asciicast : RecordingFormat::Ttyrec,
                command.speed, terminal.out);
        default: {
            SavedKeysStream stream(keys);
            return replayInstantly(stream, saved.seed, terminal.out,
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
        {"cast", no_argument, nullptr, kCast},
        {"ttyrec", no_argument, nullptr, kTtyrec},
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
                case kCast:
                    given.cast = true;
                    break;
                case kTtyrec:
                    given.ttyrec = true;
                    break;
                default:
                    break;
            }
        });
    for (const std::string& operand : line.operands) {
        if (operand.empty()) {
            throw CommandLineError{"the saved game FILE is an empty name"};
        }
    }
    command.files = line.operands;
    if (!command.files.empty()) {
        command.file = command.files.front();
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
