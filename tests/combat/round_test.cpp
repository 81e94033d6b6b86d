#include <gtest/gtest.h>

#include <set>

#include "combat/combat_support.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

// A seed whose first draw after the game's construction, out of 101, is `draw`.
std::uint32_t seedWhoseFirstPercentIs(std::int32_t draw) {
    for (std::uint32_t seed = 0;; ++seed) {
        Random random(seed);
        random.next();  // the starting hit points
        if (random.percentDraw() == draw) {
            return seed;
        }
    }
}

TEST(MonsterTurn, ArmourStrongerThanTheBlowHealsPastTheMaximum) {
    for (std::uint32_t seed = 0; seed < 100; ++seed) {
        Session session(seed);
        Game& game = session.game;
        game.addToBag(game.itemCatalog.findItem("RTU"));
        game.addToBag(game.itemCatalog.findItem("MSH"));
        game.useItem(2);
        game.useItem(3);  // armour class 13, bonuses 4 + 6
        Encounter encounter(game);
        addMonsters(encounter, {"YUL"});
        session.takeOutput();
        Random reference = game.random;
        const bool hits = reference.percentDraw() < 40 + 1 - 13;
        const std::int32_t damage = reference.next() % 2 + 1 - 10;
        const std::int32_t before = game.player.hp;
        EXPECT_FALSE(encounter.monsterTurn(encounter.turnQueue.top()));
        if (hits) {
            EXPECT_EQ(session.takeOutput(),
                      "A Yul attacks! (" + std::to_string(damage) + " damage)\n");
            EXPECT_EQ(game.player.hp, before - damage);
            EXPECT_GT(game.player.hp, game.player.maxHp);
        } else {
            EXPECT_EQ(session.takeOutput(), "A Yul attacks... and misses!\n");
        }
        EXPECT_EQ(encounter.turnQueue.size(), 1U) << "rescheduled";
    }
}

TEST(MonsterTurn, AHitExactlyAbsorbedIsLeftToAFlip) {
    // A Fennik always hits for 1; the green tunic's bonus takes it to 0, then a draw decides.
    std::set<std::string> seen;
    for (std::uint32_t seed = 0; seed < 60; ++seed) {
        Session session(seed);
        Encounter encounter(session.game);
        addMonsters(encounter, {"FEN"});
        session.takeOutput();
        encounter.monsterTurn(encounter.turnQueue.top());
        seen.insert(session.takeOutput());
    }
    EXPECT_EQ(seen, (std::set<std::string>{"A Fennik attacks... and misses!\n",
                                           "A Fennik attacks! (0 damage)\n",
                                           "A Fennik attacks! (1 damage)\n"}));
}

TEST(MonsterTurn, OneHitPointLeftFightsOnButNoneLeftLoses) {
    for (const std::int32_t hpBefore : {2, 1}) {
        for (std::uint32_t seed = 0;; ++seed) {
            Session session(seed);
            Game& game = session.game;
            standOnTheOrbalune(game);
            game.removeFromBag(0);  // no tunic: a Fennik's hit does 1
            Encounter encounter(game);
            addMonsters(encounter, {"FEN"});
            if (Random(game.random).percentDraw() >= 61) {
                continue;  // find a hit
            }
            game.player.hp = hpBefore;
            const bool lost = encounter.monsterTurn(encounter.turnQueue.top());
            EXPECT_EQ(lost, hpBefore == 1);
            EXPECT_EQ(game.player.hp, hpBefore - 1);
            EXPECT_EQ(game.inDungeon, hpBefore == 1 ? 0 : 1);
            break;
        }
    }
}

TEST(Round, ADeadMonstersTurnIsDroppedWithoutAPause) {
    for (std::uint32_t seed = 0; seed < 30; ++seed) {
        Session session(seed);
        Game& game = session.game;
        standOnTheOrbalune(game);
        Encounter encounter(game);
        addMonsters(encounter, {"YUL", "FEN"});
        encounter.monsterHp[0] = 0;
        session.type(std::string(40, 'c'));
        try {
            encounter.fight();
        } catch (const EndOfInput&) {
        }
        const std::string output = session.takeOutput();
        EXPECT_EQ(output.find("A Yul attacks"), std::string::npos);
        // Each wait belongs to a living turn: a Fennik's blow or the player's prompt.
        EXPECT_EQ(session.pauses.size(),
                  countOf(output, "A Fennik attacks") + countOf(output, "==> "));
    }
}

TEST(Round, EveryChoiceCostsATurnAndOtherKeysAreSkipped) {
    Session session(4);
    Game& game = session.game;
    standOnTheOrbalune(game);
    Encounter encounter(game);
    addMonsters(encounter, {"FEN"});
    encounter.monsterHp[0] = 50;
    game.player.hp = game.player.maxHp = 1000;
    session.type("xq1bc Bc bc");  // three item menus, each cancelled
    try {
        encounter.fight();
    } catch (const EndOfInput&) {
    }
    const std::string output = session.takeOutput();
    EXPECT_EQ(countOf(output, "(a) Attack (b) Use Item (c) Run\n==> "), 4U);
    EXPECT_EQ(countOf(output, "(c) cancel\nWhich? "), 3U);
    EXPECT_NE(output.find("\nRemaining: | 1 Fennik | \nLV: 1 XP: 0/100 HP: "), std::string::npos);
}

TEST(PlayerAttack, ASpinAttackDoublesOnALineOfItsOwn) {
    bool spun = false;
    for (std::uint32_t seed = 0; seed < 500 && !spun; ++seed) {
        Session session(seed);
        Game& game = session.game;
        standOnTheOrbalune(game);
        game.addToBag(game.itemCatalog.findItem("MSW"));
        game.useItem(2);
        Encounter encounter(game);
        addMonsters(encounter, {"OSK"});
        encounter.monsterHp[0] = 100;
        session.takeOutput();

        Random reference = game.random;
        reference.next();  // the target, out of one
        // 0.99937 x (level 1 - defense 5) + 90 = 86.0025
        const bool hits = reference.percentDraw() < 86;
        const std::int32_t extra = reference.next() % 9;
        const std::int32_t damage = 5 + reference.next() % 4 + extra;
        spun = hits && reference.percentDraw() < 40;
        encounter.attack();
        const std::string output = session.takeOutput();
        const std::string opening = "\nYou attack a Oskrag with your magical sword...";
        if (!hits) {
            EXPECT_EQ(output, opening + " and miss!\n");
        } else if (spun) {
            EXPECT_EQ(output, opening + "\nand hit with a SPIN ATTACK!! (" +
                                  std::to_string(damage) + "x2=" + std::to_string(2 * damage) +
                                  " damage)\n");
            EXPECT_EQ(encounter.monsterHp[0], 100 - 2 * damage);
        } else {
            EXPECT_EQ(output, opening + " and hit! (" + std::to_string(damage) + " damage)\n");
            EXPECT_EQ(encounter.monsterHp[0], 100 - damage);
        }
        EXPECT_EQ(session.pauses, std::vector<std::int32_t>{750});
    }
    EXPECT_TRUE(spun);
}

TEST(PlayerAttack, WithoutAWeaponTheBareHandsFight) {
    Session session(12);
    Game& game = session.game;
    standOnTheOrbalune(game);
    game.removeFromBag(1);
    ASSERT_FALSE(game.equippedWeapon);
    Encounter encounter(game);
    addMonsters(encounter, {"OSK"});
    encounter.monsterHp[0] = 100;
    for (int round = 0; round < 20; ++round) {
        encounter.attack();
    }
    const std::string output = session.takeOutput();
    EXPECT_EQ(countOf(output, "You attack a Oskrag with your bare hands..."), 20U);
    EXPECT_EQ(game.bag.size(), 1U);
    EXPECT_LT(encounter.monsterHp[0], 100);
    EXPECT_GE(encounter.monsterHp[0], 100 - 20 * 6);
}

TEST(PlayerAttack, LeavingTheTargetAtExactlyZeroDefeatsIt) {
    Session session(3);
    Game& game = session.game;
    Encounter encounter(game);
    addMonsters(encounter, {"FEN"});  // one hit point: any hit defeats it
    while (encounter.anyMonsterStanding()) {
        encounter.attack();
    }
    EXPECT_NE(session.takeOutput().find("The Fennik is defeated!\n"), std::string::npos);
    EXPECT_EQ(encounter.remaining[game.monsterCatalog.positionOf("FEN")], 0);
}

TEST(RunAway, TwoFenniksLetDrawsUpToFiftyEscapeThenFiftyFiveAfterADefeat) {
    for (const auto& [defeated, lastEscape] : {std::pair{0, 50}, {1, 55}}) {
        for (const std::int32_t draw : {lastEscape, lastEscape + 1}) {
            Session session(seedWhoseFirstPercentIs(draw));
            Encounter encounter(session.game);
            encounter.monsterCount = 2;
            encounter.remaining[session.game.monsterCatalog.positionOf("FEN")] = 2 - defeated;
            EXPECT_EQ(encounter.runAway(), draw == lastEscape) << draw;
            EXPECT_EQ(session.takeOutput(),
                      draw == lastEscape ? "\nYou ran away!\n" : "\nYou couldn't run away!\n");
        }
    }
}

TEST(RunAway, FiveMonstersHalveTheChance) {
    for (const std::int32_t draw : {25, 26}) {
        Session session(seedWhoseFirstPercentIs(draw));
        Encounter encounter(session.game);
        encounter.monsterCount = 5;
        encounter.remaining[session.game.monsterCatalog.positionOf("FEN")] = 5;
        EXPECT_EQ(encounter.runAway(), draw == 25) << draw;  // 50.03 / 2
    }
}

TEST(UseItemInAFight, TheRecallPotionEndsItWithoutRewards) {
    Session session(6);
    Game& game = session.game;
    standOnTheOrbalune(game);
    game.addToBag(game.itemCatalog.findItem("RP"));
    Encounter encounter(game);
    addMonsters(encounter, {"FEN"});
    encounter.xpEarned = 60;
    encounter.mokelsDropped = 9;
    session.type("c");
    EXPECT_TRUE(encounter.useItem());
    EXPECT_EQ(game.inDungeon, 0);
    EXPECT_EQ(game.player.xp, 0);
    EXPECT_EQ(game.player.mokels, 0);
    const std::string output = session.takeOutput();
    EXPECT_EQ(output.substr(output.size() - 8), "Which? \n") << "only the way out's line end";
}

}  // namespace
}  // namespace orbalune::testing
