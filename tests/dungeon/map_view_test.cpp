#include <gtest/gtest.h>

#include "support/game_fixture.hpp"

namespace orbalune::testing {
namespace {

std::string mapOf(Session& session) {
    session.takeOutput();
    session.game.dungeon.showMap(session.out);
    return session.takeOutput();
}

TEST(MapView, AtTheEdgeOutsideTheGridIsRockAndThePlayerHidesTheStairs) {
    Session session(1);
    useHandMadeLevel(session.game, {"#####", "#^..#", "#.#$#", "#####"});
    EXPECT_EQ(mapOf(session),
              " #######\n"
              " #######\n"
              " #######\n"
              " ###@..#\n"
              " ###.#.#\n"
              " #######\n"
              " #######\n"
              "\n"
              "You see some stairs here.\n");
    EXPECT_EQ(session.game.dungeon.tileAt(1, 1), Tile::Visited);
}

TEST(MapView, TheOrbaluneTileShowsOnlyOnceStoodOnAndStaysAfterThePickUp) {
    Session session(1);
    Game& game = session.game;
    useHandMadeLevel(game, {"#######", "#^..$.#", "#######"});
    game.dungeon.putItem(1, 4, game.itemCatalog.findItem("SW"));
    // Line 4 of the view is the player's row; each line is a space, seven glyphs, a line end.
    EXPECT_EQ(mapOf(session).substr(27, 9), " ###@...\n") << "not yet visited: plain floor";

    game.dungeon.playerCol = 4;
    const std::string onTreasure = mapOf(session);
    EXPECT_EQ(onTreasure.substr(27, 9), " ^..@.##\n");
    EXPECT_NE(
        onTreasure.find("\nYou see the Orbalune!\nYou see a sword+ 2  Dam: 1-4  Value: 100\n"),
        std::string::npos);
    EXPECT_EQ(onTreasure.find("stairs"), std::string::npos);

    game.dungeon.takeItem(1, 4, 0);
    game.dungeon.playerCol = 5;
    EXPECT_EQ(mapOf(session).substr(27, 9), " ..$@###\n");
}

}  // namespace
}  // namespace orbalune::testing
