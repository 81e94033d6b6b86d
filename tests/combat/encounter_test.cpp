#include <gtest/gtest.h>

#include <set>

#include "combat/combat_support.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(EncounterRoll, OnTheOrbaluneTileInDungeonOneBelowFortyNineAttacks) {
    std::set<std::int32_t> seenDraws;
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
        Session session(seed);
        standOnTheOrbalune(session.game);
        Random reference = session.game.random;
        const std::int32_t draw = reference.next() % 101;
        Encounter encounter(session.game);
        EXPECT_EQ(encounter.monstersAttack(), draw < 49) << "draw " << draw;
        seenDraws.insert(draw);
    }
    EXPECT_TRUE(seenDraws.count(48) && seenDraws.count(49)) << "both sides of the threshold";
}

TEST(EncounterRoll, NeverAtHalfTheDiagonalInTheShallowDungeons) {
    for (std::int32_t n = 1; n <= 5; ++n) {
        for (std::uint32_t seed = 0; seed < 200; ++seed) {
            Session session(seed);
            Game& game = session.game;
            game.dungeonNumber = n;
            useHandMadeLevel(game, {"######", "#^...#", "#....#", "#....#", "#....#", "#....#",
                                    "#....#", "######"});  // 6 by 8: the diagonal is 10
            game.dungeon.orbaluneRow = 1;
            game.dungeon.orbaluneCol = 1;
            game.dungeon.playerRow = 5;  // distance 5
            game.dungeon.playerCol = 4;
            Random reference = game.random;
            reference.next();
            EXPECT_FALSE(Encounter(game).monstersAttack());
            EXPECT_EQ(game.random.state, reference.state) << "one draw, even when refused";
        }
    }
}

TEST(GroupSelection, DungeonOneMeetsOnlyYulAndFennik) {
    std::set<std::string> met;
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        Session session(seed);
        Encounter encounter(session.game);
        encounter.chooseGroup();
        EXPECT_GE(encounter.monsterCount, 1);
        EXPECT_LE(encounter.monsterCount, 3);
        met.insert(encounter.monsterCodes.begin(), encounter.monsterCodes.end());
        EXPECT_EQ(encounter.monsterHp.size(), static_cast<std::size_t>(encounter.monsterCount));
    }
    EXPECT_EQ(met, (std::set<std::string>{"YUL", "FEN"}));
}

TEST(GroupSelection, TheCapCutsAGroupButTheDisplayShowsItWhole) {
    bool found = false;
    for (std::uint32_t seed = 0; seed < 5000 && !found; ++seed) {
        Session session(seed);
        Encounter encounter(session.game);
        encounter.chooseGroup();
        const MonsterCatalog& catalog = session.game.monsterCatalog;
        if (encounter.remaining[catalog.positionOf("YUL")] != 2 ||
            encounter.remaining[catalog.positionOf("FEN")] != 2) {
            continue;
        }
        found = true;
        EXPECT_EQ(session.takeOutput(), "You see 2 Yuls!\nYou see 2 Fenniks!\n");
        EXPECT_EQ(encounter.monsterCount, 3);
        EXPECT_EQ(encounter.monsterCodes, (std::vector<std::string>{"YUL", "YUL", "FEN"}));
        encounter.showRound();
        EXPECT_EQ(session.takeOutput().substr(0, 36), "\nRemaining: | 2 Yuls | 2 Fenniks | \n");
    }
    EXPECT_TRUE(found);
}

TEST(GroupSelection, AnnouncesOneWithAAndManyWithTheCount) {
    bool single = false;
    bool triple = false;
    for (std::uint32_t seed = 0; seed < 3000 && !(single && triple); ++seed) {
        Session session(seed);
        session.game.dungeonNumber = 3;
        Encounter encounter(session.game);
        encounter.chooseGroup();
        const std::string output = session.takeOutput();
        single = single || output.find("You see a Fennik!\n") != std::string::npos;
        triple = triple || output.find("You see 3 Hopsels!\n") != std::string::npos;
        EXPECT_EQ(output.find("You see 1 "), std::string::npos);
    }
    EXPECT_TRUE(single);
    EXPECT_TRUE(triple);
}

TEST(GroupSelection, FirstTurnsComeWithinTheMonsterDelay) {
    Session session(17);
    Encounter encounter(session.game);
    addMonsters(encounter, {"YUL", "FEN", "HOP"});
    // 5000 / 0.6 = 8333, 5000 / 1.0, 5000 / 1.7 = 2941
    std::vector<std::int64_t> times;
    while (!encounter.turnQueue.empty()) {
        const TurnEvent event = encounter.turnQueue.top();
        encounter.turnQueue.pop();
        const std::int64_t delay =
            std::vector<std::int64_t>{8333, 5000, 2941}[static_cast<std::size_t>(event.actor)];
        EXPECT_GE(event.time, delay / 2);
        EXPECT_LE(event.time, delay);
        times.push_back(event.time);
    }
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
}

TEST(Pluralize, AddsAnSForEveryCountButOne) {
    EXPECT_EQ(pluralize("Yul", 1), "Yul");
    EXPECT_EQ(pluralize("Yul", 2), "Yuls");
    EXPECT_EQ(pluralize(" mokel", 0), " mokels");
    EXPECT_EQ(pluralize(" mokel", -1), " mokels");
}

}  // namespace
}  // namespace orbalune::testing
