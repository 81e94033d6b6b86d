#include <gtest/gtest.h>

#include "support/game_fixture.hpp"
#include "support/screens.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

constexpr std::uint32_t kGoldenSeed = 19;

// A whole recorded game, byte for byte with its pauses: shopping, fights, a death, a
// resurrection and two deliveries of the Orbalune. Regenerate it only on purpose, with
// tests/data/regenerate-golden.sh.
TEST(GoldenGame, ReplaysByteForByte) {
    const std::string expected = readTestData("golden.expected");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(transcript(kGoldenSeed, readTestData("golden.keys")), expected);
}

TEST(GoldenGame, CoversTheWholeGame) {
    const std::string expected = readTestData("golden.expected");
    EXPECT_GE(countOf(expected, "Which item would you like? "), 1U) << "shopping";
    EXPECT_GE(countOf(expected, "\nYou won!\n"), 1U);
    EXPECT_GE(countOf(expected, "\nThe monsters won!\n"), 1U);
    EXPECT_GE(countOf(expected, "\nBut...dude, you're alive again!\n"), 1U);
    EXPECT_GE(countOf(expected, "You successfully retrieved the Orbalune!\n"), 2U);
    EXPECT_GE(countOf(expected, "\nYou are in Dungeon #3\n"), 1U);
}

}  // namespace
}  // namespace orbalune::testing
