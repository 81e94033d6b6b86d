// Prints the keys the test bot types in a game from a seed, for recording a golden game:
//   orbalune-bot-keys SEED KEY_BUDGET [steady|restless] > keys
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "support/bot.hpp"

int main(int argc, char** argv) {
    const bool restless = argc == 4 && std::string(argv[3]) == "restless";
    if (argc < 3 || argc > 4 || (argc == 4 && !restless && std::string(argv[3]) != "steady")) {
        std::cerr << "usage: orbalune-bot-keys SEED KEY_BUDGET [steady|restless]\n";
        return 2;
    }
    using orbalune::testing::BotStyle;
    orbalune::testing::Bot bot(static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)),
                               std::strtoul(argv[2], nullptr, 10),
                               restless ? BotStyle::Restless : BotStyle::Steady);
    const orbalune::testing::BotReport report = bot.play();
    std::cout << bot.typed << '\n';
    std::cerr << "dungeon " << report.deepestDungeon << ", level " << report.highestLevel
              << ", deliveries " << report.deliveries << ", deaths " << report.deaths
              << ", resurrections " << report.resurrections << ", purchases " << report.purchases
              << ", fights " << report.fights << ", keys " << report.keys << '\n';
    return report.breaches.empty() ? 0 : 1;
}
