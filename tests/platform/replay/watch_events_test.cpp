#include "platform/replay/watch_events.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/replay/instant_replay.hpp"
#include "platform/terminal/keys.hpp"
#include "support/bot.hpp"

namespace orbalune::testing {
namespace {

constexpr std::uint32_t kSeed = 7;

// The game played from the first `count` keys, each after its prompt: it ends where the game
// asks for the next key.
std::string transcript(const std::string& keys, std::size_t count) {
    SavedKeys held(std::string_view(keys).substr(0, count));
    SavedKeysStream view(held);
    std::ostringstream out;
    replayInstantly(view, kSeed, out, {false, true});
    return out.str();
}

const std::string kFightPrompt = "(c) Run\n==> ";
const std::string kBanner = "\nYou are ";
const std::string kDungeonBanner = "\nYou are in Dungeon #";

// Each `marker` of `text` in turn, told apart by `isKind`: how often one of the kind follows one
// that is not, and (`bothWays`) the other way round.
template <typename IsKind>
std::size_t turnsIn(const std::string& text, const std::string& marker, IsKind isKind,
                    bool bothWays) {
    std::size_t turns = 0;
    bool last = false;
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
        const bool now = isKind(at);
        turns += now != last && (now || bothWays) ? 1 : 0;
        last = now;
    }
    return turns;
}

bool lastBannerIsTheDungeons(const std::string& text) {
    return text.compare(text.rfind(kBanner), kDungeonBanner.size(), kDungeonBanner) == 0;
}

// A sensible player's game: its fights begin where the game reads their first menu, as often as
// its transcript shows one after a command, and it changes places as often as its banners do.
TEST(WatchEvents, FindsEveryFightAtItsFirstMenuAndEveryChangeOfPlace) {
    Bot bot(kSeed, 1500);
    bot.play();
    std::string keys = bot.typed;
    std::erase_if(keys, isBlankKey);  // a position is then a length of keys
    SavedKeys saved(keys);
    const WatchEvents events = WatchEvents::find(saved, kSeed);
    const std::string whole = transcript(keys, keys.size());
    EXPECT_EQ(events.keysSeen, keys.size());

    const auto isFightPrompt = [&whole](std::size_t at) {
        return at + 4 >= kFightPrompt.size() &&
               whole.compare(at + 4 - kFightPrompt.size(), kFightPrompt.size(), kFightPrompt) == 0;
    };
    EXPECT_GT(events.fights.size(), 15U);
    EXPECT_EQ(events.fights.size(), turnsIn(whole, "==> ", isFightPrompt, false));
    for (const std::size_t fight : events.fights) {
        ASSERT_TRUE(transcript(keys, fight).ends_with(kFightPrompt)) << fight;
        ASSERT_FALSE(transcript(keys, fight - 1).ends_with(kFightPrompt)) << fight;
    }

    const auto isDungeonBanner = [&whole](std::size_t at) {
        return whole.compare(at, kDungeonBanner.size(), kDungeonBanner) == 0;
    };
    EXPECT_GT(events.placeChanges.size(), 15U);
    EXPECT_EQ(events.placeChanges.size(), turnsIn(whole, kBanner, isDungeonBanner, true));
    for (const std::size_t change : events.placeChanges) {
        ASSERT_NE(lastBannerIsTheDungeons(transcript(keys, change)),
                  lastBannerIsTheDungeons(transcript(keys, change - 1)))
            << change;
    }
}

TEST(WatchEvents, NextAndLastAreStrictlyAfterAndBefore) {
    const std::vector<std::size_t> positions = {3, 8, 20};
    EXPECT_EQ(nextAfter(positions, 0), 3U);
    EXPECT_EQ(nextAfter(positions, 3), 8U);
    EXPECT_EQ(nextAfter(positions, 20), std::nullopt);
    EXPECT_EQ(lastBefore(positions, 20), 8U);
    EXPECT_EQ(lastBefore(positions, 21), 20U);
    EXPECT_EQ(lastBefore(positions, 3), std::nullopt);
}

}  // namespace
}  // namespace orbalune::testing
