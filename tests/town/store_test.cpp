#include <gtest/gtest.h>

#include "support/game_fixture.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

const std::string kStoreWelcome = "\nWelcome to my store!\n\n(a) Buy  (b) Sell\n";

const std::string kBuyList =
    "(a) bare hands+ 1  Dam: 1-2\n"
    "(b) sword+ 2  Dam: 1-4  Value: 100\n"
    "(c) white sword+ 4  Dam: 3-6  Value: 200\n"
    "(d) magical sword+ 8  Dam: 5-8  Value: 400\n"
    "(e) green tunic+ 1  AC: 3  Value: 100\n"
    "(f) blue tunic+ 2  AC: 6  Value: 200\n"
    "(g) red tunic+ 4  AC: 9  Value: 400\n"
    "(h) wooden shield+ 2  AC: 2  Value: 50\n"
    "(i) magical shield+ 6  AC: 4  Value: 150\n"
    "(j) heart  Value: 10  (+10HP)\n"
    "(k) green potion  Value: 50  (+20HP)\n"
    "(l) recall potion  Value: 70  (warp out of dungeon)\n"
    "(q) cancel\n\n";

// Runs one visit to the store with `keys` and returns what it printed and whether it was
// accepted.
std::pair<std::string, bool> visit(Session& session, const std::string& keys) {
    session.takeOutput();
    session.type(keys);
    const bool accepted = session.game.visitStore();
    return {session.takeOutput(), accepted};
}

TEST(StoreBuy, ListsTheShelfWithoutTreasuresAndSells) {
    Session session(1);
    Game& game = session.game;
    game.player.mokels = 100;
    const auto [output, accepted] = visit(session, "xqab");
    EXPECT_TRUE(accepted);
    EXPECT_EQ(output, kStoreWelcome + kBuyList + "Your mokels: 100\n\nWhich item would you like? ");
    EXPECT_EQ(game.player.mokels, 0) << "exactly the price in hand";
    EXPECT_EQ(game.bag.back().code, "SW");
    EXPECT_FALSE(game.bag.back().equipped);
    EXPECT_EQ(game.equippedWeapon, 1U);
}

TEST(StoreBuy, RefusesTreasureLettersCancelAndBeyond) {
    Session session(1);
    session.game.player.mokels = 1000;
    for (const char* refused : {"am", "ap", "aq", "az", "aA", "a1"}) {
        const auto [output, accepted] = visit(session, refused);
        EXPECT_FALSE(accepted) << refused;
        EXPECT_EQ(output.substr(output.size() - 27), "Which item would you like? ");
    }
    EXPECT_EQ(session.game.bag.size(), 2U);
    EXPECT_EQ(session.game.player.mokels, 1000);
}

TEST(StoreBuy, TooFewMokelsOrAFullBagRefuseWithAMessage) {
    Session session(1);
    Game& game = session.game;
    game.player.mokels = 49;
    EXPECT_EQ(visit(session, "ah").first.substr(kStoreWelcome.size() + kBuyList.size()),
              "Your mokels: 49\n\nWhich item would you like? "
              "\nSorry, pal.  You don't have the mokels for that.\n");
    EXPECT_TRUE(visit(session, "aa").second) << "bare hands cost nothing";
    EXPECT_EQ(game.bag.size(), 3U);
    for (int i = 0; i < 3; ++i) {
        game.addToBag(game.itemCatalog.findItem("HE"));
    }
    const auto [output, accepted] = visit(session, "aj");
    EXPECT_TRUE(accepted);
    EXPECT_EQ(output,
              kStoreWelcome + "\nSorry pal, your bag is full. I can't sell you anything.\n");
    EXPECT_EQ(game.bag.size(), 6U);
    EXPECT_EQ(session.in.get(), 'j') << "the letter after a stays for the next prompt";
}

TEST(StoreSell, PaysTheUntruncatedRateOfTheDungeon) {
    const std::vector<std::tuple<std::int32_t, const char*, std::int32_t, const char*>> cases = {
        {1, "SW", 79, "79"},
        {2, "MSH", 91, "60"},
        {3, "SS", 103, "51"},
        {10, "HE", 3, "32"},
        {1, "RTU", 319, "79"}};
    for (const auto& [dungeon, code, paid, shown] : cases) {
        Session session(1);
        Game& game = session.game;
        game.dungeonNumber = dungeon;
        game.addToBag(game.itemCatalog.findItem(code));
        const auto [output, accepted] = visit(session, "bc");
        EXPECT_TRUE(accepted);
        EXPECT_NE(output.find(std::string("\nI'll only buy back your items at ") + shown +
                              "% their original price.\n\n"),
                  std::string::npos);
        EXPECT_EQ(output.substr(output.find("Which do you want")),
                  "Which do you want to sell? \n==>\nHere are " + std::to_string(paid) +
                      " mokels for you!\n");
        EXPECT_EQ(game.player.mokels, paid) << code << " in dungeon " << dungeon;
        EXPECT_EQ(game.bag.size(), 2U);
    }
}

TEST(StoreSell, HidesWorthlessItemsAndReleasesSoldEquipment) {
    Session session(1);
    Game& game = session.game;
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    game.addToBag(game.itemCatalog.findItem("GF"));
    const auto [output, accepted] = visit(session, "bb");
    EXPECT_FALSE(accepted) << "bare hands have no value";
    EXPECT_EQ(output, kStoreWelcome +
                          "\nI'll only buy back your items at 79% their original price.\n\n"
                          "(a) " +
                          kStartingTunicLine +
                          "\n(d) golden feather  Value: 100\n"
                          "(e) cancel\n\nYour mokels: 0\n\nWhich do you want to sell? \n==>");
    EXPECT_FALSE(visit(session, "bc").second) << "nor has the Orbalune";
    EXPECT_FALSE(visit(session, "be").second);

    EXPECT_TRUE(visit(session, "ba").second);
    EXPECT_FALSE(game.equippedTunic);
    EXPECT_EQ(game.player.armorClass, 0);
    EXPECT_EQ(game.player.mokels, 79);
    EXPECT_TRUE(visit(session, "bc").second) << "the feather, now in slot c";
    EXPECT_EQ(game.player.mokels, 79 + 79);
}

TEST(StoreSell, AnEmptyBagOffersOnlyCancel) {
    Session session(1);
    session.game.bag.clear();
    session.game.refreshEquipped();
    const auto [output, accepted] = visit(session, "Ba");
    EXPECT_FALSE(accepted);
    EXPECT_NE(output.find("\n\n(a) cancel\n\n"), std::string::npos);
}

TEST(Store, ARefusedChoiceMakesTheCommandReturnZero) {
    Session session(1);
    session.type("bbz");
    EXPECT_EQ(session.game.runCommand(), 0);
    session.type("Bbq");
    EXPECT_EQ(session.game.runCommand(), 0);
    session.game.player.mokels = 10;
    session.type("Baj");
    EXPECT_EQ(session.game.runCommand(), 'B');
}

}  // namespace
}  // namespace orbalune::testing
