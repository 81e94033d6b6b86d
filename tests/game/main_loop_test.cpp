#include <gtest/gtest.h>

#include "support/game_fixture.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(NewGame, StartsInTownWithTunicAndBareHandsEquipped) {
    Session session(42);
    const Game& game = session.game;
    EXPECT_EQ(game.inDungeon, 0);
    EXPECT_TRUE(game.regenerateLevel);
    EXPECT_EQ(game.dungeonNumber, 1);
    ASSERT_EQ(game.bag.size(), 2U);
    EXPECT_EQ(game.bag[0].code, "GTU");
    EXPECT_EQ(game.bag[1].code, "BAR");
    EXPECT_EQ(game.equippedTunic, 0U);
    EXPECT_EQ(game.equippedWeapon, 1U);
    EXPECT_FALSE(game.equippedShield);
    EXPECT_EQ(game.player.armorClass, 3);
    EXPECT_EQ(game.player.turnDelay, 3000);
    EXPECT_EQ(game.pauseMs, 750);
    EXPECT_EQ(game.dungeon.monsterTurnDelay, 5000);
}

TEST(NewGame, StartingHitPointsAreTheFirstDrawOfTheSeed) {
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        Random reference(seed);
        const std::int32_t expected = reference.next() % 5 + 28;
        Session session(seed);
        EXPECT_EQ(session.game.player.hp, expected);
        EXPECT_EQ(session.game.player.maxHp, expected);
    }
}

TEST(NewGame, FirstScreenIsTheTownMenu) {
    Session session(1);
    EXPECT_EQ(session.play(""), kExitAtEndOfInput);
    EXPECT_EQ(session.takeOutput(), kTownScreen);
}

TEST(MainLoop, EndOfInputInsideAnItemPromptStopsQuietly) {
    Session session(1);
    EXPECT_EQ(session.play("u"), kExitAtEndOfInput);
    const std::string output = session.takeOutput();
    EXPECT_EQ(output.substr(output.size() - 7), "Which? ");
}

TEST(MainLoop, ARefusedCommandInTheDungeonRedrawsWithoutAnEncounter) {
    Session session(3);
    session.play("e");
    session.takeOutput();
    const std::uint32_t before = session.game.random.state;
    session.play("x");
    const std::string output = session.takeOutput();
    EXPECT_EQ(session.game.random.state, before);
    EXPECT_EQ(countOf(output, "\nYou are in Dungeon #1\n\n"), 2U);
}

TEST(MainLoop, AMoveShowsTheMapTwiceWithTheEncounterBetween) {
    // Walking back and forth until some move draws no encounter: each move prints the map
    // right away and again under the next banner.
    Session session(5);
    session.play("e");
    const DungeonLevel& level = session.game.dungeon;
    const char move = level.isWalkable(level.playerRow - 1, level.playerCol)   ? 'n'
                      : level.isWalkable(level.playerRow + 1, level.playerCol) ? 's'
                      : level.isWalkable(level.playerRow, level.playerCol - 1) ? 'w'
                                                                               : 'e';
    session.takeOutput();
    session.play(std::string(1, move));
    const std::string output = session.takeOutput();
    const std::string afterMove = output.substr(output.find("==> ") + 4);
    EXPECT_EQ(afterMove.find(" "), 0U) << "the map follows the move at once";
    EXPECT_NE(afterMove.find("\nYou are in Dungeon #1\n\n"), std::string::npos);
}

TEST(MainLoop, FatalChecksEndTheGameWithStatusOne) {
    // With the green potion missing from the catalog, building dungeon 1 cannot place its
    // bonus item: the lookup's consistency check stops the game.
    Session session(9);
    auto& items = session.game.itemCatalog.items;
    std::erase_if(items, [](const Item& item) { return item.code == "GP"; });
    EXPECT_EQ(session.play("e v"), kExitOnFatalError);
    const std::string output = session.takeOutput();
    EXPECT_EQ(output, kTownScreen + "Item Not Found!\n");
}

TEST(MainLoop, AnOutOfRangeUseIsFatal) {
    Session session(9);
    EXPECT_THROW(session.game.useItem(2), FatalError);
    try {
        session.game.useItem(7);
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.message, "Unable to use.\n");
    }
}

}  // namespace
}  // namespace orbalune::testing
