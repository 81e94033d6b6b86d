#include <gtest/gtest.h>

#include "combat/combat_support.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

// One whole fight from seed 0, attacking every turn: the announcements, every gap of the
// fight clock and every dramatic pause in its place, the drops and the victory.
TEST(FightTranscript, SeedZeroAttackingEveryTurn) {
    Session session(0);
    session.markPauses = true;
    standOnTheOrbalune(session.game);
    session.type("aaaaaaaaaaaa");
    session.game.runEncounter();
    EXPECT_EQ(session.takeOutput(), readTestData("fight_seed0.expected"));
    EXPECT_EQ(session.game.player.mokels, 7);
    EXPECT_EQ(session.game.player.xp, 16);
    EXPECT_EQ(session.game.dungeon.itemsUnderPlayer().back().code, "HE");
    // Player turns wait 1500 to 3000 ms of fight clock; the rest are the 750 ms pauses.
    for (const std::int32_t ms : session.pauses) {
        EXPECT_TRUE(ms == 750 || (ms >= 0 && ms <= 8333)) << ms;
    }
}

}  // namespace
}  // namespace orbalune::testing
