#include "platform/game_program.hpp"

#include <ctime>
#include <iostream>
#include <optional>

#include "game/game.hpp"
#include "platform/command_line.hpp"
#include "platform/exit_status.hpp"
#include "platform/play_session.hpp"
#include "platform/save_file.hpp"

namespace orbalune {

namespace {

constexpr const char* kGameHelp =
    "Play orbalune: carry the Orbalune out of an ever deeper dungeon.\n"
    "\n"
    "  --save FILE  keep the game in FILE, key by key; if FILE exists, resume it\n"
    "  --seed N     start a new game from seed N (0 to 4294967295) instead of the clock\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n";

}  // namespace

void busyWait(std::int32_t ms) {
    // clock_t arithmetic: at a million ticks a second, 32 bits would overflow past 2 s.
    const std::clock_t start = std::clock();
    const std::clock_t target = start + static_cast<std::clock_t>(ms) * CLOCKS_PER_SEC / 1000;
    while (std::clock() < target) {
    }
}

Console terminalConsole() {
    return Console{std::cin, std::cout, busyWait, static_cast<std::uint32_t>(std::time(nullptr))};
}

int playGame(int argc, char** argv, const Console& terminal, std::ostream& err) {
    GameCommand command;
    try {
        command = parseGameCommand(argc, argv);
    } catch (const CommandLineError& error) {
        err << "orbalune: " << error.message << '\n' << kGameUsage << '\n';
        return kExitUsage;
    }
    if (command.request == ProgramRequest::Help) {
        terminal.out << kGameUsage << "\n\n" << kGameHelp << std::flush;
        return 0;
    }
    if (command.request == ProgramRequest::Version) {
        terminal.out << "orbalune " << ORBALUNE_VERSION << std::endl;
        return 0;
    }

    std::uint32_t seed = command.seed.value_or(terminal.seed);
    std::optional<SaveFile> save;
    if (command.savePath) {
        try {
            save = openSaveFile(*command.savePath, seed);
            if (!save->created && command.seed) {
                throw SaveFileError{"a saved game has its own seed; --seed is for a new game"};
            }
        } catch (const SaveFileError& error) {
            err << "orbalune: " << *command.savePath << ": " << error.reason << '\n';
            return kExitUsage;
        }
        seed = save->game.seed;
    }

    PlaySession session(terminal, save ? &*save : nullptr);
    Game game(session.console(seed));
    const int status = game.run();
    if (const std::optional<std::string> failure = session.finish()) {
        err << "orbalune: " << *failure << '\n';
        return kExitWriteFailed;
    }
    return status;
}

}  // namespace orbalune
