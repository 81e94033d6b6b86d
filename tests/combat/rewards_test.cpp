#include <gtest/gtest.h>

#include "combat/combat_support.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(Victory, PaysMokelsLaysLootAfterTheFloorAndGivesOneLevel) {
    Session session(8);
    Game& game = session.game;
    standOnTheOrbalune(game);
    game.player.xp = 90;
    game.player.mokels = 5;
    Encounter encounter(game);
    encounter.mokelsDropped = 7;
    encounter.xpEarned = 14;
    encounter.loot = {game.itemCatalog.findItem("HE"), game.itemCatalog.findItem("GP")};
    session.takeOutput();
    encounter.winEncounter();
    EXPECT_EQ(session.takeOutput(),
              "\nYou won!\nYou picked up 7 mokels!\nYou gained 14 XP!\n"
              "\nYou leveled up!! You are now at level 2!\nYour HP have been restored.\n");
    EXPECT_EQ(session.pauses, std::vector<std::int32_t>(5, 750)) << "won, mokels, 2 items, level";
    EXPECT_EQ(game.player.mokels, 12);
    EXPECT_EQ(game.player.xp, 104);
    EXPECT_EQ(game.player.nextLevelXp, 200);
    const auto floor = game.dungeon.itemsUnderPlayer();
    ASSERT_EQ(floor.size(), 3U);
    EXPECT_EQ(floor[0].code, kOrbaluneCode);
    EXPECT_EQ(floor[1].code, "HE");
    EXPECT_EQ(floor[2].code, "GP");
    EXPECT_EQ(game.bag.size(), 2U) << "loot never enters the bag by itself";
}

TEST(Victory, FarPastTheThresholdStillOnlyOneLevelAndNoMokelLine) {
    Session session(8);
    Game& game = session.game;
    standOnTheOrbalune(game);
    game.player.xp = 250;
    Encounter encounter(game);
    encounter.xpEarned = 1;
    session.takeOutput();
    encounter.winEncounter();
    const std::string output = session.takeOutput();
    EXPECT_EQ(output.find("You picked up"), std::string::npos);
    EXPECT_NE(output.find("You gained 1 XP!\n"), std::string::npos);
    EXPECT_EQ(game.player.level, 2);
    EXPECT_EQ(game.player.nextLevelXp, 200);
}

TEST(Victory, OneMokelIsSingular) {
    Session session(8);
    standOnTheOrbalune(session.game);
    Encounter encounter(session.game);
    encounter.mokelsDropped = 1;
    encounter.winEncounter();
    EXPECT_NE(session.takeOutput().find("You picked up 1 mokel!\n"), std::string::npos);
}

TEST(DefeatMonster, SetsRewardsAsideWithTheirMessages) {
    // Over many seeds a Fennik's drops follow its draws: mokels, then heart, potion, recall.
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        Session session(seed);
        Game& game = session.game;
        Encounter encounter(game);
        addMonsters(encounter, {"FEN"});
        session.takeOutput();
        session.pauses.clear();
        Random reference = game.random;
        const std::int32_t mokels = reference.next() % 5;
        std::string expected = "The Fennik is defeated!\n";
        std::size_t pauses = 1;
        if (mokels > 0) {
            expected += "It dropped " + std::to_string(mokels) +
                        (mokels == 1 ? " mokel" : " mokels") + "!\n";
            ++pauses;
        }
        std::vector<std::string> loot;
        for (const auto& [name, code, chance] : {std::tuple{"heart", "HE", 10},
                                                 {"green potion", "GP", 5},
                                                 {"recall potion", "RP", 2}}) {
            if (reference.percentDraw() < chance) {
                expected += std::string("It dropped a ") + name + "!\n";
                loot.emplace_back(code);
                ++pauses;
            }
        }
        encounter.defeatMonster(0);
        EXPECT_EQ(session.takeOutput(), expected);
        EXPECT_EQ(session.pauses.size(), pauses);
        EXPECT_EQ(encounter.xpEarned, 4);
        EXPECT_EQ(encounter.mokelsDropped, mokels);
        ASSERT_EQ(encounter.loot.size(), loot.size());
        for (std::size_t i = 0; i < loot.size(); ++i) {
            EXPECT_EQ(encounter.loot[i].code, loot[i]);
        }
        EXPECT_EQ(game.player.xp, 0) << "nothing is paid before victory";
    }
}

TEST(Defeat, ThrowsThePlayerOutDeadWithTheOrbaluneKept) {
    Session session(8);
    Game& game = session.game;
    standOnTheOrbalune(game);
    game.addToBag(game.itemCatalog.findItem(kOrbaluneCode));
    game.player.hp = -3;
    Encounter encounter(game);
    encounter.xpEarned = 30;
    session.takeOutput();
    encounter.loseEncounter();
    EXPECT_EQ(session.takeOutput(),
              "\nThe monsters won!\nOddly, instead of tearing you apart limb from limb,\n"
              "they pick you up and throw you out of the dungeon.\n\n");
    EXPECT_EQ(game.player.hp, 0);
    EXPECT_EQ(game.inDungeon, 0);
    EXPECT_EQ(game.bag.back().code, kOrbaluneCode);
    EXPECT_EQ(game.player.xp, 0);
    EXPECT_EQ(game.dungeonNumber, 1);
}

TEST(RunningAway, DiscardsEverythingTheFightGathered) {
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        Session session(seed);
        Game& game = session.game;
        standOnTheOrbalune(game);
        Encounter encounter(game);
        addMonsters(encounter, {"FEN", "FEN"});
        encounter.monsterHp[1] = 0;
        encounter.xpEarned = 4;
        encounter.mokelsDropped = 3;
        encounter.loot = {game.itemCatalog.findItem("HE")};
        if (!encounter.runAway()) {
            continue;
        }
        EXPECT_EQ(game.player.xp, 0);
        EXPECT_EQ(game.player.mokels, 0);
        EXPECT_EQ(game.dungeon.itemsUnderPlayer().size(), 1U) << "just the Orbalune";
        EXPECT_EQ(game.inDungeon, 1);
        return;
    }
    FAIL() << "no escape in 50 seeds";
}

}  // namespace
}  // namespace orbalune::testing
