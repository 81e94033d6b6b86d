#include "game/invariants.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "support/game_fixture.hpp"

namespace orbalune::testing {
namespace {

TEST(Invariants, HoldInANewGameAndOnAFreshLevel) {
    Session session(5);
    EXPECT_TRUE(invariantBreaches(session.game).empty());
    session.game.enterDungeon();
    EXPECT_TRUE(invariantBreaches(session.game).empty());
}

// Each way of breaking the game is named by the check.
TEST(Invariants, ReportEachKindOfBreach) {
    const std::vector<std::pair<std::string, std::function<void(Game&)>>> breakages = {
        {"the weapon points past the bag", [](Game& game) { game.equippedWeapon = 9; }},
        {"the tunic names an item not flagged equipped",
         [](Game& game) { game.bag[0].equipped = false; }},
        {"the shield names an item of another category",
         [](Game& game) {
             game.equippedShield = 1;
             game.player.armorClass = 3 + game.bag[1].armorClass;
         }},
        {"bag slot 2 is flagged but not equipped",
         [](Game& game) {
             game.bag.push_back(game.itemCatalog.findItem("SW"));
             game.bag.back().equipped = true;
         }},
        {"the armour class is not that of the equipped armour",
         [](Game& game) { game.player.armorClass = 7; }},
        {"the bag holds more than its capacity",
         [](Game& game) { game.bag.resize(7, game.itemCatalog.findItem("HE")); }},
        {"a dead player is in the dungeon",
         [](Game& game) {
             game.enterDungeon();
             game.player.hp = 0;
         }},
        {"the mode is neither town nor dungeon", [](Game& game) { game.inDungeon = 2; }},
        {"the player is in a dungeon that was never built", [](Game& game) { game.inDungeon = 1; }},
        {"the player stands on rock or on the outer ring",
         [](Game& game) {
             game.enterDungeon();
             game.dungeon.playerRow = 0;
         }},
        {"the stairs are not walkable",
         [](Game& game) {
             game.enterDungeon();
             game.dungeon.stairsRow = 0;
         }},
        {"the Orbalune's tile is not walkable",
         [](Game& game) {
             game.enterDungeon();
             game.dungeon.orbaluneCol = 0;
         }},
        {"items lie on rock or outside the level",
         [](Game& game) {
             game.enterDungeon();
             game.dungeon.putItem(0, 0, game.itemCatalog.findItem("HE"));
         }},
        {"a floor item is flagged equipped",
         [](Game& game) {
             game.enterDungeon();
             Item sword = game.itemCatalog.findItem("SW");
             sword.equipped = true;
             game.dungeon.putItem(game.dungeon.stairsRow, game.dungeon.stairsCol, sword);
         }},
        {"a catalog entry is flagged equipped",
         [](Game& game) { game.itemCatalog.items[3].equipped = true; }},
    };
    for (const auto& [breach, breakIt] : breakages) {
        Session session(5);
        breakIt(session.game);
        const std::vector<std::string> found = invariantBreaches(session.game);
        EXPECT_NE(std::find(found.begin(), found.end(), breach), found.end()) << breach;
    }
}

}  // namespace
}  // namespace orbalune::testing
