#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/bot.hpp"
#include "support/digest.hpp"
#include "support/game_fixture.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

// Bot games recorded once, each with the digest of its whole transcript, pauses included. Every
// build (another compiler, standard library or processor) must play them byte for byte alike,
// as it must play every saved game: a saved game is only a seed and keys.
TEST(BotGames, PlayByteForByteAsRecorded) {
    std::istringstream table(readTestData("bot-games"));
    int games = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::uint32_t seed = 0;
        std::string style;
        std::size_t keys = 0;
        std::string expected;
        ASSERT_TRUE(fields >> seed >> style >> keys >> expected) << line;
        ASSERT_TRUE(style == "steady" || style == "restless") << line;
        Bot bot(seed, keys, style == "steady" ? BotStyle::Steady : BotStyle::Restless);
        bot.play();
        Digest digest;
        digest.addBytes(transcript(seed, bot.typed));
        EXPECT_EQ(bot.typed.size(), keys) << line;
        EXPECT_EQ(digest.hex(), expected) << "played as: " << seed << ' ' << style << ' '
                                          << bot.typed.size() << ' ' << digest.hex();
        ++games;
    }
    EXPECT_GE(games, 20);
}

}  // namespace
}  // namespace orbalune::testing
