#include "game/random.hpp"

#include <gtest/gtest.h>

namespace orbalune {
namespace {

TEST(Random, FollowsTheLinearCongruentialSequence) {
    Random random(1);
    // state 1 -> 1*214013+2531011 = 2745024 -> (2745024 >> 16) & 32767 = 41
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
}

TEST(Random, RangesAndPercentsFoldOneDrawEach) {
    Random a(7);
    Random b(7);
    EXPECT_EQ(a.randomInRange(28, 32), b.next() % 5 + 28);
    EXPECT_EQ(a.percentDraw(), b.next() % 101);
    EXPECT_EQ(a.state, b.state);
}

TEST(Random, StateWrapsModulo32Bits) {
    Random random(0xFFFFFFFFU);
    random.next();
    EXPECT_EQ(random.state, 0xFFFFFFFFU * 214013U + 2531011U);
}

}  // namespace
}  // namespace orbalune
