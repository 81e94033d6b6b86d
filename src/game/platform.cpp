#include "game/platform.hpp"

#include <charconv>
#include <ctime>
#include <iostream>
#include <limits>
#include <string_view>

#include "game/game.hpp"

namespace orbalune {

void busyWait(std::int32_t ms) {
    // clock_t arithmetic: at a million ticks a second, 32 bits would overflow past 2 s.
    const std::clock_t start = std::clock();
    const std::clock_t target = start + static_cast<std::clock_t>(ms) * CLOCKS_PER_SEC / 1000;
    while (std::clock() < target) {
    }
}

int playInTerminal() {
    Game game(
        Console{std::cin, std::cout, busyWait, static_cast<std::uint32_t>(std::time(nullptr))});
    return game.run();
}

namespace {

std::optional<std::uint32_t> parseSeed(std::string_view text) {
    std::uint64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end ||
        value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<ReplayOptions> parseReplayArguments(int argc, const char* const* argv) {
    ReplayOptions options;
    bool haveSeed = false;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--pauses" && !options.showPauses) {
            options.showPauses = true;
        } else if (argument == "--seed" && !haveSeed && index + 1 < argc) {
            const std::optional<std::uint32_t> seed = parseSeed(argv[++index]);
            if (!seed) {
                return std::nullopt;
            }
            options.seed = *seed;
            haveSeed = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveSeed) {
        return std::nullopt;
    }
    return options;
}

int replay(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
    const std::optional<ReplayOptions> options = parseReplayArguments(argc, argv);
    if (!options) {
        err << "usage: orbalune-replay --seed N [--pauses]   (N from 0 to 4294967295)\n";
        return kExitUsage;
    }
    auto pause = [&out, show = options->showPauses](std::int32_t ms) {
        if (show) {
            out << "{pause " << ms << '}';
        }
    };
    Game game(Console{in, out, pause, options->seed});
    return game.run();
}

}  // namespace orbalune
