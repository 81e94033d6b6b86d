#include "platform/programs/game_program.hpp"

#include <chrono>
#include <ctime>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "game/game.hpp"
#include "platform/os/monotonic_clock.hpp"
#include "platform/os/standard_streams.hpp"
#include "platform/programs/command_line.hpp"
#include "platform/programs/daily_seed.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/programs/program_output.hpp"
#include "platform/saved_games/play_session.hpp"
#include "platform/saved_games/save_file.hpp"
#include "platform/terminal/single_key_mode.hpp"
#include "platform/terminal/terminal_keys.hpp"
#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

namespace {

constexpr std::string_view kProgram = "orbalune";

constexpr const char* kGameHelp =
    "Play orbalune: carry the Orbalune out of an ever deeper dungeon.\n"
    "\n"
    "  --save FILE  keep the game in FILE, key by key; if FILE exists, resume it\n"
    "  --seed N     start a new game from seed N (0 to 4294967295) instead of the clock\n"
    "  --daily      start today's dungeon: the seed is today's date in UTC (YYYYMMDD), the\n"
    "               same for everyone who plays it today\n"
    "  --line       at a terminal, read keys a line at a time (Enter sends them) instead of\n"
    "               acting on each key as it is pressed\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n";

}  // namespace

void sleepingPause(std::int32_t ms) {
    os::sleepFor(std::chrono::milliseconds(ms));
}

Console terminalConsole() {
    return Console{std::cin, std::cout, sleepingPause,
                   static_cast<std::uint32_t>(std::time(nullptr))};
}

int playGame(int argc, char** argv, const Console& terminal, std::ostream& err, int keyboardFd,
             bool screenAtTerminal) {
    KeptSnapshots none;
    return playGame(argc, argv, terminal, err, keyboardFd, screenAtTerminal, none);
}

int playGame(int argc, char** argv, const Console& terminal, std::ostream& err, int keyboardFd,
             bool screenAtTerminal, KeptSnapshots& snapshots) {
    GameCommand command;
    try {
        command = parseGameCommand(argc, argv);
    } catch (const CommandLineError& error) {
        reportError(err, kProgram, error.message);
        err << kGameUsage << '\n';
        return kExitUsage;
    }
    if (command.request == ProgramRequest::Help) {
        terminal.out << kGameUsage << "\n\n" << kGameHelp;
        return finishOutput(terminal.out, err, kProgram, 0);
    }
    if (command.request == ProgramRequest::Version) {
        terminal.out << "orbalune " << ORBALUNE_VERSION << '\n';
        return finishOutput(terminal.out, err, kProgram, 0);
    }

    if (command.daily) {
        command.seed = dailySeed(static_cast<std::time_t>(terminal.seed));  // the clock's now
    }
    std::uint32_t seed = command.seed.value_or(terminal.seed);
    std::optional<SaveFile> save;
    if (command.savePath) {
        try {
            save = openSaveFile(*command.savePath, seed);
            if (!save->created && command.seed) {
                throw SaveFileError{std::string("a saved game has its own seed; ") +
                                    (command.daily ? "--daily" : "--seed") + " is for a new game"};
            }
        } catch (const SaveFileError& error) {
            reportError(err, kProgram, *command.savePath + ": " + error.reason);
            return kExitUsage;
        }
        seed = save->seed;
    }

    // Set only now, so that a game refused leaves the terminal untouched.
    std::optional<SingleKeyMode> singleKeys;
    std::optional<TerminalKeys> keyboard;
    if (keyboardFd >= 0 && !command.lineInput) {
        singleKeys.emplace(keyboardFd);
        if (singleKeys->active()) {
            keyboard.emplace(keyboardFd, singleKeys->endKey(), localeSpeaksUtf8(),
                             singleKeys->continuedFd());
        }
    }
    PlaySession session(terminal, save ? &*save : nullptr, keyboard ? &*keyboard : nullptr);
    if (snapshots.keep) {
        session.keepSnapshots(snapshots.keep);
    }
    Game game(session.console(seed));
    session.askedBy(game);
    if (snapshots.resumeFrom) {
        session.resumeFrom(game, *snapshots.resumeFrom);  // if not, from the first key
    }
    const int status = game.run();
    if (const std::optional<std::string> failure =
            session.finish(screenAtTerminal || keyboardFd >= 0)) {
        reportError(err, kProgram, *failure);
        return kExitWriteFailed;
    }
    return status;
}

int playAtTerminal(int argc, char** argv) {
    prepareStandardStreams();
    // The console's streams buffer for themselves: what waits in them is then known, so that
    // keys arriving together are made durable together.
    std::ios::sync_with_stdio(false);
    const bool screenAtTerminal = os::isTerminal(os::kStandardOutput);
    const bool atTerminal = os::isTerminal(os::kStandardInput) && screenAtTerminal;
    try {
        return playGame(argc, argv, terminalConsole(), std::cerr,
                        atTerminal ? os::kStandardInput : -1, screenAtTerminal);
    } catch (const std::exception& error) {
        // Caught, so that the way out gives the terminal its settings back.
        reportError(std::cerr, kProgram, error.what());
        return kExitOnFatalError;
    }
}

}  // namespace orbalune
