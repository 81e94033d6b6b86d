#include <gtest/gtest.h>

#include "support/game_fixture.hpp"

namespace orbalune::testing {
namespace {

TEST(LeaveDungeon, WithoutTheOrbaluneOnlyHeals) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#####", "#^$.#", "#####"});
    game.player.maxHp = 30;
    game.player.hp = 12;
    session.type("a");
    EXPECT_EQ(game.runCommand(), 'a');
    const std::string output = session.takeOutput();
    EXPECT_EQ(output.substr(output.find("==> ")), "==> \n") << "one line end, nothing else";
    EXPECT_EQ(game.inDungeon, 0);
    EXPECT_EQ(game.player.hp, 30);
    EXPECT_EQ(game.dungeonNumber, 1);
    EXPECT_FALSE(game.regenerateLevel);
    EXPECT_TRUE(session.pauses.empty());
}

TEST(LeaveDungeon, HandsInTheOrbaluneAndCatchesUpOnLevels) {
    Session session(1);
    Game& game = session.game;
    game.inDungeon = 1;
    game.player.xp = 40;
    game.addToBag(game.itemCatalog.findItem("SW"));
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    game.addToBag(game.itemCatalog.findItem("WSH"));
    game.useItem(4);
    game.leaveDungeon();
    EXPECT_EQ(session.takeOutput(),
              "\nYou successfully retrieved the Orbalune!\n"
              "You gain 100 experience points.\n"
              "Congratulations! You've leveled up!\n");
    EXPECT_EQ(session.pauses, (std::vector<std::int32_t>{750, 750, 750}));
    EXPECT_EQ(game.player.xp, 140);
    EXPECT_EQ(game.player.level, 2);
    EXPECT_EQ(game.player.nextLevelXp, 200);
    EXPECT_EQ(game.player.hp, game.player.maxHp);
    EXPECT_EQ(game.dungeonNumber, 2);
    EXPECT_TRUE(game.regenerateLevel);
    EXPECT_EQ(game.dungeon.monsterTurnDelay, 6568);
    ASSERT_EQ(game.bag.size(), 4U);
    EXPECT_EQ(game.equippedShield, 3U) << "the shield behind the Orbalune stays equipped";
    EXPECT_EQ(game.player.armorClass, 5);
}

TEST(LeaveDungeon, MonsterPaceFollowsTheDungeonNumber) {
    Session session(1);
    Game& game = session.game;
    for (const std::int32_t expected : {6568, 7759, 8719, 9525}) {
        game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
        game.leaveDungeon();
        EXPECT_EQ(game.dungeon.monsterTurnDelay, expected);
    }
    EXPECT_EQ(game.dungeonNumber, 5);
    EXPECT_EQ(game.player.xp, 100 + 200 + 300 + 400);
}

TEST(LeaveDungeon, OwedLevelsAreAllGainedOnTheWayOut) {
    Session session(1);
    Game& game = session.game;
    game.player.xp = 450;
    game.player.nextLevelXp = 200;
    game.player.level = 2;
    game.leaveDungeon();
    EXPECT_EQ(session.takeOutput(),
              "\nCongratulations! You've leveled up!\nCongratulations! You've leveled up!\n");
    EXPECT_EQ(game.player.nextLevelXp, 800);
    EXPECT_EQ(game.player.level, 4);
    EXPECT_EQ(game.player.hp, game.player.maxHp);
}

TEST(LeaveDungeon, ThrownOutDeadKeepsTheOrbalune) {
    Session session(1);
    Game& game = session.game;
    game.inDungeon = 1;
    game.player.hp = 0;
    game.player.xp = 500;
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    game.leaveDungeon();
    EXPECT_EQ(session.takeOutput(), "\n");
    EXPECT_EQ(game.inDungeon, 0);
    EXPECT_EQ(game.player.hp, 0);
    EXPECT_EQ(game.bag.back().code, kOrbaluneCode);
    EXPECT_EQ(game.dungeonNumber, 1);
    EXPECT_EQ(game.player.level, 1);
}

TEST(LeaveDungeon, ARecallPotionCarriesTheOrbaluneOut) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#####", "#^$.#", "#####"});
    game.addToBag(game.itemCatalog.findItem("RP"));
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    session.type("uc");
    game.runCommand();
    const std::string output = session.takeOutput();
    EXPECT_NE(output.find("Which? \nYou successfully retrieved the Orbalune!\nYou gain 100 "
                          "experience points.\nCongratulations! You've leveled up!\n"),
              std::string::npos);
    EXPECT_EQ(game.inDungeon, 0);
    EXPECT_EQ(game.dungeonNumber, 2);
    EXPECT_EQ(game.bag.size(), 2U) << "potion and Orbalune both gone";
}

}  // namespace
}  // namespace orbalune::testing
