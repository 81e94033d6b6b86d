#include <gtest/gtest.h>

#include "support/game_fixture.hpp"

namespace orbalune::testing {
namespace {

TEST(Resurrection, TheLivingNeedNone) {
    Session session(1);
    session.game.player.mokels = 5;
    session.game.resurrect();
    EXPECT_EQ(session.takeOutput(), "\nDude, you're not dead.\n");
    EXPECT_EQ(session.game.player.mokels, 5);
}

TEST(Resurrection, CostsTheFeeAfterAPauseAndDoublesIt) {
    Session session(1);
    Game& game = session.game;
    session.markPauses = true;
    game.player.hp = 0;
    game.player.mokels = 1;
    game.resurrect();
    EXPECT_EQ(session.takeOutput(),
              "\nIt has cost you 1 mokels.\n{pause 750}\nBut...dude, you're alive again!\n\n");
    EXPECT_EQ(game.player.mokels, 0);
    EXPECT_EQ(game.player.resurrectionFee, 2);
    EXPECT_EQ(game.player.hp, game.player.maxHp);
}

TEST(Resurrection, TooPoorStaysDeadAtTheSameFee) {
    Session session(1);
    Game& game = session.game;
    game.player.hp = 0;
    game.player.resurrectionFee = 8;
    game.player.mokels = 7;
    game.resurrect();
    EXPECT_EQ(session.takeOutput(),
              "\nIt has cost you 8 mokels.\n"
              "\nDude, you can't afford it.  I'm afraid your game is over.\n");
    EXPECT_TRUE(session.pauses.empty());
    EXPECT_EQ(game.player.hp, 0);
    EXPECT_EQ(game.player.resurrectionFee, 8);
    game.player.mokels = 8;
    game.resurrect();
    EXPECT_EQ(game.player.resurrectionFee, 16);
    EXPECT_GT(game.player.hp, 0);
}

TEST(Resurrection, HandsInACarriedOrbaluneAndGainsItsLevels) {
    Session session(1);
    Game& game = session.game;
    game.player.hp = 0;
    game.player.mokels = 3;
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    game.resurrect();
    EXPECT_EQ(session.takeOutput(),
              "\nIt has cost you 1 mokels.\n\nBut...dude, you're alive again!\n\n"
              "You successfully retrieved the Orbalune!\nYou gain 100 experience points.\n"
              "Congratulations! You've leveled up!\n");
    EXPECT_EQ(game.dungeonNumber, 2);
    EXPECT_EQ(game.player.level, 2);
    EXPECT_EQ(game.player.hp, game.player.maxHp) << "the new maximum";
}

TEST(Resurrection, TheFeeStopsAtTheLargestValue) {
    Session session(1);
    Game& game = session.game;
    for (const auto& [fee, next] :
         {std::pair{1073741824, 2147483647}, {2147483647, 2147483647}, {1073741823, 2147483646}}) {
        game.player.hp = 0;
        game.player.resurrectionFee = fee;
        game.player.mokels = 2147483647;
        game.resurrect();
        EXPECT_EQ(game.player.resurrectionFee, next);
        EXPECT_EQ(game.player.mokels, 2147483647 - fee);
    }
}

TEST(Resurrection, WhileDeadTheTownStillServes) {
    Session session(1);
    Game& game = session.game;
    game.player.hp = 0;
    game.player.mokels = 10;
    session.play("e v baj u d");
    const std::string output = session.takeOutput();
    EXPECT_NE(output.find("\nDude, you're dead.\n"), std::string::npos);
    EXPECT_EQ(game.bag.back().code, "HE");
    EXPECT_EQ(game.inDungeon, 0);
}

}  // namespace
}  // namespace orbalune::testing
