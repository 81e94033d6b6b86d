#include "items/player.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "game/depth_curve.hpp"

namespace orbalune {
namespace {

TEST(Player, TurnDelayFollowsTheDepthCurve) {
    const std::int32_t expected[] = {6568, 7759, 8719, 9525, 10219, 10828, 11370, 11860, 12306};
    for (std::int32_t level = 2; level <= 10; ++level) {
        EXPECT_EQ(turnDelayFor(level), expected[level - 2]) << "level " << level;
    }
}

TEST(Player, LevelUpRestoresTheOldMaximumThenGrows) {
    Random random(11);
    Player player(random);
    player.maxHp = 30;
    player.hp = 7;
    Random reference = random;
    player.levelUp(random);
    EXPECT_EQ(player.hp, 30);
    EXPECT_EQ(player.maxHp, 30 + reference.next() % 5 + 8);
    EXPECT_EQ(player.level, 2);
    EXPECT_EQ(player.nextLevelXp, 200);
    EXPECT_EQ(player.turnDelay, 6568);
    EXPECT_EQ(player.bagCapacity(), 8);
}

TEST(Player, ExperienceIsWideEnoughForEveryDoubling) {
    Random random(1);
    Player player(random);
    for (int i = 0; i < 56; ++i) {
        player.levelUp(random);
    }
    EXPECT_EQ(player.nextLevelXp, std::int64_t{100} << 56);
    player.levelUp(random);
    EXPECT_EQ(player.nextLevelXp, std::numeric_limits<std::int64_t>::max());
    player.levelUp(random);
    EXPECT_EQ(player.nextLevelXp, std::numeric_limits<std::int64_t>::max());
}

TEST(Player, StatsLine) {
    Random random(1);
    Player player(random);
    player.xp = 250;
    player.mokels = 17;
    std::ostringstream out;
    player.printStats(out);
    EXPECT_EQ(out.str(), "\nLV: 1 XP: 250/100 HP: 29/29 Mokels: 17\n");
}

}  // namespace
}  // namespace orbalune
