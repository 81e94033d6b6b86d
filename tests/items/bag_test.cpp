#include <gtest/gtest.h>

#include "support/game_fixture.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(UseMenu, NewGameListsBothEquippedItemsAndACancelLine) {
    Session session(1);
    session.play("u");
    EXPECT_EQ(session.takeOutput(), kTownScreen + "(a) " + kStartingTunicLine + "\n(b) " +
                                        kStartingHandsLine + "\n(c) cancel\nWhich? ");
}

TEST(UseMenu, CancelUpperCaseAndDigitsChangeNothing) {
    for (const char* answer : {"c", "A", "1", "z"}) {
        Session session(1);
        const std::uint32_t before = session.game.random.state;
        session.type(std::string(answer));
        session.game.useMenu();
        const std::string output = session.takeOutput();
        EXPECT_EQ(output.substr(output.size() - 7), "Which? ") << answer;
        EXPECT_EQ(session.game.random.state, before);
    }
}

TEST(UseMenu, EmptyBagHasNothingToUse) {
    Session session(1);
    session.game.bag.clear();
    session.game.refreshEquipped();
    session.game.useMenu();
    EXPECT_EQ(session.takeOutput(), "You have nothing to use.\n");
}

TEST(Equipment, EquippingMovesTheFlagAndTheArmourClassFollows) {
    Session session(1);
    Game& game = session.game;
    game.addToBag(game.itemCatalog.findItem("WSH"));
    game.addToBag(game.itemCatalog.findItem("BTU"));
    game.useItem(2);
    EXPECT_EQ(game.player.armorClass, 5) << "green tunic and wooden shield";
    game.useItem(3);
    EXPECT_FALSE(game.bag[0].equipped);
    EXPECT_TRUE(game.bag[3].equipped);
    EXPECT_EQ(game.equippedTunic, 3U);
    EXPECT_EQ(game.player.armorClass, 8);

    game.useItem(1);  // the weapon already equipped: nothing changes
    EXPECT_EQ(game.equippedWeapon, 1U);
    EXPECT_TRUE(game.bag[1].equipped);
    EXPECT_EQ(session.takeOutput(), "");

    game.removeFromBag(3);
    EXPECT_FALSE(game.equippedTunic);
    EXPECT_EQ(game.player.armorClass, 2) << "the shield alone";
}

TEST(Equipment, ReferencesFollowTheirItemsWhenEarlierSlotsEmpty) {
    Session session(1);
    Game& game = session.game;
    game.player.hp = 20;
    game.addToBag(game.itemCatalog.findItem("HE"));
    game.addToBag(game.itemCatalog.findItem("SW"));
    game.useItem(3);
    game.useItem(2);  // the heart is used up
    ASSERT_EQ(game.bag.size(), 3U);
    EXPECT_EQ(game.bag[2].code, "SW");
    EXPECT_TRUE(game.bag[2].equipped);
    EXPECT_EQ(game.equippedWeapon, 2U);
    EXPECT_FALSE(game.bag[1].equipped);
}

TEST(Healing, MayLiftHitPointsAboveTheMaximum) {
    Session session(1);
    Game& game = session.game;
    game.player.maxHp = 30;
    game.player.hp = 25;
    game.addToBag(game.itemCatalog.findItem("HE"));
    Random reference = game.random;
    const std::int32_t amount = reference.next() % 3 + 9;
    game.useItem(2);
    EXPECT_EQ(game.player.hp, 25 + amount);
    EXPECT_GT(game.player.hp, game.player.maxHp);
    EXPECT_EQ(game.bag.size(), 2U);
    EXPECT_EQ(session.takeOutput(),
              "\nYou used the heart and gained " + std::to_string(amount) + " HP.\n");
}

TEST(Healing, ARefusedHealStillUsesUpItsRandomNumber) {
    Session session(1);
    Game& game = session.game;
    game.addToBag(game.itemCatalog.findItem("GP"));
    Random reference = game.random;
    reference.next();
    game.useItem(2);
    EXPECT_EQ(game.random.state, reference.state);
    EXPECT_EQ(game.bag.size(), 3U);
    EXPECT_EQ(session.takeOutput(), "\nYou don't need to use this!\n");
}

TEST(Healing, ADeadPlayerInTownIsHealed) {
    Session session(1);
    Game& game = session.game;
    game.player.hp = 0;
    game.addToBag(game.itemCatalog.findItem("HE"));
    game.useItem(2);
    EXPECT_GE(game.player.hp, 9);
    EXPECT_LE(game.player.hp, 11);
}

TEST(Healing, SaturatesInsteadOfOverflowing) {
    Session session(1);
    Game& game = session.game;
    game.player.hp = 2147483640;
    game.addToBag(game.itemCatalog.findItem("GP"));
    game.useItem(2);
    EXPECT_EQ(game.player.hp, 2147483647);
}

TEST(UsingItems, RecallPotionOnlyWorksInTheDungeonAndTreasuresNotAtAll) {
    Session session(1);
    Game& game = session.game;
    game.addToBag(game.itemCatalog.findItem("RP"));
    game.addToBag(game.itemCatalog.findItem("SS"));
    game.useItem(2);
    game.useItem(3);
    EXPECT_EQ(game.bag.size(), 4U);
    EXPECT_EQ(session.takeOutput(), "\nYou are not in a dungeon!\n\nYou can't use that.\n");
}

TEST(Bag, CapacityGrowsWithTheLevel) {
    Session session(1);
    Game& game = session.game;
    for (int i = 0; i < 4; ++i) {
        game.addToBag(game.itemCatalog.findItem("HE"));
    }
    EXPECT_TRUE(game.bagIsFull());
    game.player.levelUp(game.random);
    EXPECT_FALSE(game.bagIsFull());
}

}  // namespace
}  // namespace orbalune::testing
