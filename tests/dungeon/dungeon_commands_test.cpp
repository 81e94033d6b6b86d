#include <gtest/gtest.h>

#include "game/depth_curve.hpp"
#include "game/invariants.hpp"
#include "support/game_fixture.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(EnterDungeon, BuildsTheLevelOnceAndReturnsToItsStairs) {
    Session session(21);
    Game& game = session.game;
    game.enterDungeon();
    EXPECT_EQ(game.inDungeon, 1);
    EXPECT_FALSE(game.regenerateLevel);
    EXPECT_TRUE(game.dungeon.playerOnStairs());
    const std::vector<Tile> tiles = game.dungeon.tiles;

    // Leave a sword on the stairs, walk away, climb out and come back.
    game.dungeon.putItem(game.dungeon.stairsRow, game.dungeon.stairsCol,
                         game.itemCatalog.findItem("SW"));
    game.dungeon.playerRow = game.dungeon.orbaluneRow;
    game.dungeon.playerCol = game.dungeon.orbaluneCol;
    game.leaveDungeon();
    const std::uint32_t before = game.random.state;
    game.enterDungeon();
    EXPECT_EQ(game.random.state, before) << "nothing is generated";
    EXPECT_EQ(game.dungeon.tiles, tiles);
    EXPECT_TRUE(game.dungeon.playerOnStairs());
    EXPECT_EQ(game.dungeon.itemsUnderPlayer().back().code, "SW");
}

TEST(EnterDungeon, ADeliveryMakesTheNextEntryBuildANewLevel) {
    Session session(21);
    Game& game = session.game;
    game.enterDungeon();
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    game.leaveDungeon();
    EXPECT_TRUE(game.regenerateLevel);
    EXPECT_EQ(game.dungeonNumber, 2);
    game.enterDungeon();
    EXPECT_EQ(game.dungeon.dungeonNumber, 2);
    EXPECT_GE(game.dungeon.width, 14);
    EXPECT_EQ(game.dungeon.floorItems.items.size(), 2U) << "only the new level's own two items";
}

TEST(Get, TakesASingleItemWithoutAsking) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#####", "#^$.#", "#####"});
    game.dungeon.playerCol = 2;
    session.type("g");
    EXPECT_EQ(game.runCommand(), 'g');
    EXPECT_EQ(game.bag.back().code, kOrbaluneCode);
    EXPECT_TRUE(game.dungeon.itemsUnderPlayer().empty());
    EXPECT_EQ(session.takeOutput().find("Which?"), std::string::npos);
}

TEST(Get, AsksAmongSeveralAndRefusesLettersOffTheList) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#####", "#^..#", "#####"});
    for (const char* code : {"HE", "SW", "GP"}) {
        game.dungeon.putItem(1, 1, game.itemCatalog.findItem(code));
    }
    const std::string menu = "\n(A) Ascend  (E) East  (G) Get  \n" + kCommonOptions +
                             "(a) heart  Value: 10  (+10HP)\n(b) sword+ 2  Dam: 1-4  Value: 100\n"
                             "(c) green potion  Value: 50  (+20HP)\nWhich? ";
    for (const char* refused : {"d", "A", "7"}) {
        session.type(std::string("g") + refused);
        EXPECT_EQ(game.runCommand(), 0) << refused;
        EXPECT_EQ(session.takeOutput(), menu);
        EXPECT_EQ(game.dungeon.itemsUnderPlayer().size(), 3U);
    }
    session.type("gb");
    EXPECT_EQ(game.runCommand(), 'g');
    EXPECT_EQ(game.bag.back().code, "SW");
    EXPECT_FALSE(game.bag.back().equipped);
    const auto left = game.dungeon.itemsUnderPlayer();
    ASSERT_EQ(left.size(), 2U);
    EXPECT_EQ(left[0].code, "HE");
    EXPECT_EQ(left[1].code, "GP");
}

TEST(Get, AFullBagTakesNothing) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#####", "#^..#", "#####"});
    for (int i = 0; i < 4; ++i) {
        game.addToBag(game.itemCatalog.findItem("HE"));
    }
    game.dungeon.putItem(1, 1, game.itemCatalog.findItem("SW"));
    session.type("g");
    EXPECT_EQ(game.runCommand(), 'g');
    EXPECT_EQ(session.takeOutput(),
              "\n(A) Ascend  (E) East  (G) Get  \n" + kCommonOptions + "\nYour bag is full!\n");
    EXPECT_EQ(game.bag.size(), 6U);
    EXPECT_EQ(game.dungeon.itemsUnderPlayer().size(), 1U);
}

TEST(Moves, NeverCrossRock) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#####", "#^..#", "#####"});
    session.type("n s w e e e");
    EXPECT_EQ(game.runCommand(), 0);
    EXPECT_EQ(game.runCommand(), 0);
    EXPECT_EQ(game.runCommand(), 0);
    EXPECT_EQ(game.runCommand(), 'e');
    EXPECT_EQ(game.runCommand(), 'e');
    EXPECT_EQ(game.runCommand(), 0);
    EXPECT_EQ(game.dungeon.playerCol, 3);
}

TEST(Depth, DungeonOneThousandIsBuiltAndPlayed) {
    Session session(2026);
    Game& game = session.game;
    game.dungeonNumber = 1000;
    game.dungeon.monsterTurnDelay = turnDelayFor(1000);
    std::string keys = "e";
    for (int i = 0; i < 30; ++i) {
        keys += "nnnneeeesssswwwwaaaa";
    }
    EXPECT_EQ(session.play(keys), kExitAtEndOfInput);
    EXPECT_NE(session.takeOutput().find("\nYou are in Dungeon #1000\n"), std::string::npos);
    EXPECT_GE(game.dungeon.width, 1012);
    EXPECT_TRUE(invariantBreaches(game).empty());
}

}  // namespace
}  // namespace orbalune::testing
