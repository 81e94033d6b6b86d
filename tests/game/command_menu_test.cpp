#include <gtest/gtest.h>

#include "support/game_fixture.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

// A plus-shaped floor with the stairs in its centre.
void standInCross(Game& game) {
    useHandMadeLevel(game, {"#####", "##$##", "#.^.#", "##.##", "#####"});
    game.dungeon.floorItems.clear();
}

TEST(TownMenu, RefusesDungeonLettersAndAcceptsCommonOnesInEitherCase) {
    Session session(1);
    for (const char* refused : {"a", "N", "s", "W", "x", "1", "?"}) {
        session.play(refused);
        EXPECT_EQ(session.takeOutput(), kTownScreen + kTownScreen) << refused;
    }
    session.play("V");
    const std::string upper = session.takeOutput();
    session.play("v");
    EXPECT_EQ(session.takeOutput(), upper);
    EXPECT_NE(upper.find("\nLV: 1 XP: 0/100"), std::string::npos);
}

TEST(TownMenu, RunCommandReturnsTheLetterAsTypedOrZero) {
    Session session(1);
    session.type("V v q");
    EXPECT_EQ(session.game.runCommand(), 'V');
    EXPECT_EQ(session.game.runCommand(), 'v');
    EXPECT_EQ(session.game.runCommand(), 0);
}

TEST(TownMenu, TypeAheadRunsEachLetterAtTheNextMenu) {
    Session session(1);
    session.play("v i\n");
    const std::string output = session.takeOutput();
    const Player& player = session.game.player;
    const std::string stats = "\nLV: 1 XP: 0/100 HP: " + std::to_string(player.hp) + "/" +
                              std::to_string(player.maxHp) + " Mokels: 0\n";
    const std::string inventory =
        "\nYou're carrying:\n\t" + kStartingTunicLine + " \n\t" + kStartingHandsLine + " \n";
    EXPECT_EQ(output, kTownScreen + stats + kTownScreen + inventory + kTownScreen);
}

TEST(TownMenu, EnteringWhileDeadIsRefusedWithAMessage) {
    Session session(1);
    session.game.player.hp = 0;
    session.type("e");
    EXPECT_EQ(session.game.runCommand(), 'e');
    EXPECT_EQ(session.takeOutput(), kTownMenu + "\nDude, you're dead.\n");
    EXPECT_EQ(session.game.inDungeon, 0);
}

TEST(DungeonMenu, OffersOnlyOpenDirectionsAscendOnStairsAndGetOverItems) {
    Session session(1);
    Game& game = session.game;
    standInCross(game);
    game.dungeon.tiles[game.dungeon.indexOf(2, 3)] = Tile::Rock;
    session.type("e");
    EXPECT_EQ(game.runCommand(), 0) << "east faces rock";
    EXPECT_EQ(session.takeOutput(),
              "\n(A) Ascend  (N) North  (S) South  (W) West  \n" + kCommonOptions);

    session.type("N");
    EXPECT_EQ(game.runCommand(), 'N');
    EXPECT_EQ(game.dungeon.playerRow, 1);
    game.dungeon.putItem(1, 2, game.itemCatalog.findItem("HE"));
    session.takeOutput();
    session.type("a");
    EXPECT_EQ(game.runCommand(), 0) << "no stairs here";
    EXPECT_EQ(session.takeOutput(), "\n(S) South  (G) Get  \n" + kCommonOptions);
}

TEST(Inventory, ListsTheBagOrNothing) {
    Session session(1);
    session.game.bag.clear();
    session.game.refreshEquipped();
    session.type("i");
    EXPECT_EQ(session.game.runCommand(), 'i');
    EXPECT_EQ(session.takeOutput(), kTownMenu + "\nYou're carrying:\n\tnothing\n");
}

TEST(Drop, RefusesEverythingButAListedLowerCaseLetter) {
    Session session(1);
    Game& game = session.game;
    game.addToBag(game.itemCatalog.findItem("HE"));
    const std::string list = "(a) " + kStartingTunicLine + "\n(b) " + kStartingHandsLine +
                             "\n(c) heart  Value: 10  (+10HP)\n(d) cancel\nWhich? ";
    for (const char* refused : {"d", "D", "z", "1", "A"}) {
        session.type(std::string("d") + refused);
        EXPECT_EQ(game.runCommand(), 0) << refused;
        EXPECT_EQ(session.takeOutput(), kTownMenu + list);
        EXPECT_EQ(game.bag.size(), 3U);
    }
}

TEST(Drop, InTownDestroysTheItemAndReleasesItsEquipment) {
    Session session(1);
    Game& game = session.game;
    session.type("da");
    EXPECT_EQ(game.runCommand(), 'd');
    ASSERT_EQ(game.bag.size(), 1U);
    EXPECT_EQ(game.bag[0].code, "BAR");
    EXPECT_FALSE(game.equippedTunic);
    EXPECT_EQ(game.equippedWeapon, 0U) << "the weapon moved up a slot and stayed equipped";
    EXPECT_EQ(game.player.armorClass, 0);

    session.type("da");
    EXPECT_EQ(game.runCommand(), 'd');
    EXPECT_FALSE(game.equippedWeapon);
    session.takeOutput();
    session.type("d");
    EXPECT_EQ(game.runCommand(), 'd');
    EXPECT_EQ(session.takeOutput(), kTownMenu + "You have nothing to drop.\n");
}

TEST(Drop, InTheDungeonLeavesAnUnequippedCopyOnTheTile) {
    Session session(1);
    Game& game = session.game;
    standInCross(game);
    session.type("db");
    EXPECT_EQ(game.runCommand(), 'd');
    const std::span<const Item> floor = game.dungeon.itemsUnderPlayer();
    ASSERT_EQ(floor.size(), 1U);
    EXPECT_EQ(floor[0].code, "BAR");
    EXPECT_FALSE(floor[0].equipped);
    EXPECT_FALSE(game.equippedWeapon);

    session.takeOutput();
    session.type("x");
    game.runCommand();
    EXPECT_NE(session.takeOutput().find("(G) Get  "), std::string::npos);
}

}  // namespace
}  // namespace orbalune::testing
