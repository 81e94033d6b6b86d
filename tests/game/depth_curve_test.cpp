#include "game/depth_curve.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "combat/chances.hpp"
#include "support/digest.hpp"

namespace orbalune::testing {
namespace {

// Recorded games hang on these doubles to the last bit: a compiler that fuses a multiply-add or
// keeps extra precision, or a maths library that rounds a logarithm differently, shows here.

TEST(DepthCurve, FactorsAreTheSameDoublesOnEveryBuild) {
    EXPECT_EQ(depthFactor(1), 0x1.ffad3b010bbf3p-1);  // 0.99937...
    EXPECT_EQ(depthFactor(2), 0x1.85bb5cbc2c571p-1);  // 0.76120...
    EXPECT_EQ(depthFactor(3), 0x1.49f0038e222eep-1);  // 0.64441...
    // Every logarithm of a level or dungeon number below 91079, bit for bit as the game has
    // always had them (32-bit x86's maths library is a unit off from dungeon 3794 on).
    Digest digest;
    for (std::int32_t n = 0; n < 91079; ++n) {
        const double value = depthLog(n);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        digest.add(bits);
    }
    EXPECT_EQ(digest.value(), 6725031934298645661U);
    // From there on, the nearest double: the 64-bit library is half a unit off on these.
    EXPECT_EQ(depthLog(91079), 0x1.6d6c8e40c726cp+3);
    EXPECT_EQ(depthLog(144279), 0x1.7c24ff004f35bp+3);
}

TEST(DepthCurve, BuyBackRatesAndAmounts) {
    struct Row {
        std::int32_t dungeon;
        std::int32_t shown;
        std::vector<std::int32_t> amounts;  // for the prices 10, 100, 150, 200 and 400
    };
    const std::vector<Row> table = {{1, 79, {7, 79, 119, 159, 319}},
                                    {2, 60, {6, 60, 91, 121, 243}},
                                    {3, 51, {5, 51, 77, 103, 206}},
                                    {10, 32, {3, 32, 48, 65, 130}}};
    for (const Row& row : table) {
        const double percent = sellPercentFor(row.dungeon);
        EXPECT_EQ(static_cast<std::int32_t>(percent), row.shown) << "dungeon " << row.dungeon;
        std::vector<std::int32_t> amounts;
        for (const std::int32_t price : {10, 100, 150, 200, 400}) {
            amounts.push_back(buyBackAmount(price, percent));
        }
        EXPECT_EQ(amounts, row.amounts) << "dungeon " << row.dungeon;
    }
}

TEST(DepthCurve, FightChances) {
    EXPECT_EQ(encounterChance(0.0, 10.0, 1), 49);    // on the Orbalune's tile
    EXPECT_EQ(encounterChance(5.0, 10.0, 1), 0);     // half the diagonal away
    EXPECT_EQ(encounterChance(0.0, 10.0, 10), -23);  // never, that deep
    EXPECT_EQ(attackHitChance(1, 5, 5), 90);
    EXPECT_EQ(attackHitChance(1, 1, 5), 86);
    EXPECT_EQ(attackHitChance(2, 1, 5), 86);
    EXPECT_EQ(attackHitChance(10, 12, 1), 94);
    EXPECT_EQ(runAwayChance(1, 1, 1.0, 2), 50.031594015395299);
    EXPECT_EQ(runAwayChance(1, 1, 0.5, 2), 55.034753416934826);
    EXPECT_EQ(runAwayChance(1, 1, 1.0, 5), 25.01579700769765);  // halved for five
    EXPECT_TRUE(joinsGroup(40, 1, 39));
    EXPECT_FALSE(joinsGroup(40, 1, 40));  // 39.97...
    // Every hit chance of levels and defenses up to 100 in the first thousand dungeons.
    Digest digest;
    for (std::int32_t dungeon = 1; dungeon <= 1000; ++dungeon) {
        for (std::int32_t difference = -100; difference <= 100; ++difference) {
            digest.add(static_cast<std::uint64_t>(attackHitChance(dungeon, difference, 0)));
        }
    }
    EXPECT_EQ(digest.value(), 12564713296449222085U);
}

}  // namespace
}  // namespace orbalune::testing
