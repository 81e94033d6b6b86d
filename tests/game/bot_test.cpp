#include "support/bot.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace orbalune::testing {
namespace {

TEST(Bot, PlaysAHundredSeedsSoundlyAndMakesProgress) {
    constexpr std::uint32_t kSeeds = 100;
    constexpr std::size_t kKeyBudget = 4000;
    std::int32_t deepest = 0;
    std::int32_t highestLevel = 0;
    std::int32_t deliveries = 0;
    std::int32_t deaths = 0;
    std::int32_t resurrections = 0;
    std::int32_t reachedFive = 0;
    for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
        Bot bot(seed, kKeyBudget);
        const BotReport report = bot.play();
        EXPECT_EQ(report.exitStatus, kExitAtEndOfInput) << "seed " << seed;
        for (const std::string& breach : report.breaches) {
            ADD_FAILURE() << "seed " << seed << ": " << breach;
        }
        deepest = std::max(deepest, report.deepestDungeon);
        highestLevel = std::max(highestLevel, report.highestLevel);
        deliveries += report.deliveries;
        deaths += report.deaths;
        resurrections += report.resurrections;
        reachedFive += report.deepestDungeon >= 5 ? 1 : 0;
    }
    std::printf(
        "bot over %u seeds: deepest dungeon %d, highest level %d, %d deliveries, "
        "%d deaths, %d resurrections, %d seeds reached dungeon 5\n",
        kSeeds, deepest, highestLevel, deliveries, deaths, resurrections, reachedFive);
    EXPECT_GE(deliveries, 10);
    EXPECT_GE(reachedFive, 1);
    EXPECT_GT(deaths, 0);
    EXPECT_GT(resurrections, 0);
}

}  // namespace
}  // namespace orbalune::testing
