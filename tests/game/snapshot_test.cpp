#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.hpp"
#include "game/snapshot_bytes.hpp"
#include "support/bot.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

constexpr std::uint32_t kGoldenSeed = 19;

// Where a game stood before one of its commands: keys taken, bytes printed, and its snapshot.
struct CommandPoint {
    std::size_t taken;
    std::size_t printed;
    std::string snapshot;
};

// A game from `seed` played on `keys` from `from` on (restored from `snapshot` first, if given),
// its pauses written into its output; every `stride`-th command point is noted.
struct NotedGame {
    std::istringstream in;
    std::ostringstream out;
    std::vector<CommandPoint> points;
    std::size_t commands = 0;
    Game game;

    NotedGame(std::uint32_t seed, const std::string& keys, std::size_t stride)
        : in(keys),
          game(Console{in, out, [this](std::int32_t ms) { out << "{pause " << ms << '}'; }, seed}) {
        game.console.betweenCommands = [this, stride] {
            if (commands++ % stride == 0) {
                points.push_back(
                    {static_cast<std::size_t>(in.tellg()), out.str().size(), game.snapshot()});
            }
        };
    }
};

// Every noted point of a game restored into a game of another seed plays the rest of the keys
// exactly as the game went on from there: the same output, pauses included, and the same
// snapshots at the commands after.
void expectRestoredGamesPlayOn(std::uint32_t seed, const std::string& keys, std::size_t stride) {
    NotedGame whole(seed, keys, stride);
    whole.game.run();
    ASSERT_GE(whole.points.size(), 3U);
    for (std::size_t at = 0; at < whole.points.size(); ++at) {
        const CommandPoint& point = whole.points[at];
        NotedGame rest(seed + 1, keys.substr(point.taken), stride);
        ASSERT_TRUE(rest.game.restore(point.snapshot)) << "point " << at;
        rest.game.run();
        const std::string expected = whole.out.str().substr(point.printed);
        const std::string played = rest.out.str();
        const auto differ =
            std::mismatch(played.begin(), played.end(), expected.begin(), expected.end());
        ASSERT_TRUE(played == expected)
            << "point " << at << " plays otherwise from byte " << (differ.first - played.begin())
            << ": " << played.substr(static_cast<std::size_t>(differ.first - played.begin()), 80);
        ASSERT_EQ(rest.points.size(), whole.points.size() - at);
        for (std::size_t later = 0; later < rest.points.size(); ++later) {
            ASSERT_EQ(rest.points[later].snapshot, whole.points[at + later].snapshot);
        }
    }
}

TEST(Snapshot, RestoredGoldenGamePlaysOnByteForByte) {
    expectRestoredGamesPlayOn(kGoldenSeed, readTestData("golden.keys"), 7);
}

// Deep levels, full bags, worn items of every kind, floor items, deaths and resurrections.
TEST(Snapshot, RestoredBotGamesPlayOnByteForByte) {
    for (const auto& [seed, style] :
         {std::pair{3U, BotStyle::Steady}, std::pair{11U, BotStyle::Restless},
          std::pair{40U, BotStyle::Steady}}) {
        Bot bot(seed, 6000, style);
        bot.play();
        SCOPED_TRACE(seed);
        expectRestoredGamesPlayOn(seed, bot.typed, 401);
    }
}

// The fields as the snapshot lays them out, for damaging one on purpose.
constexpr std::size_t kRulesAt = 8;
constexpr std::size_t kPlayerLevelAt = 16 + 16;
constexpr std::size_t kInDungeonAt = kPlayerLevelAt + std::size_t{7} * 4;  // after 7 numbers

std::string withWord(std::string bytes, std::size_t at, std::uint32_t value) {
    SnapshotWriter word;
    word.u32(value);
    bytes.replace(at, 4, word.bytes);
    return bytes;
}

// Damaged, cut short, of other rules or out of the rules' range: refused, and the game that
// refused it is left as it was. Any one byte damaged is read safely: refused, or a game.
TEST(Snapshot, RefusesDamagedBytesAndKeepsTheGame) {
    NotedGame played(kGoldenSeed, readTestData("golden.keys"), 1);
    played.game.run();
    const std::string good = played.points.back().snapshot;
    NotedGame fresh(5, "", 1);
    const std::string before = fresh.game.snapshot();
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"empty", ""},
        {"another magic", withWord(good, 0, 0x12345678)},
        {"other rules", withWord(good, kRulesAt, 99)},
        {"level 0", withWord(good, kPlayerLevelAt, 0)},
        {"a level no sum can hold", withWord(good, kPlayerLevelAt, 0x7FFFFFFF)},
        {"in the dungeon twice", withWord(good, kInDungeonAt, 2)},
        {"a byte too many", good + '\0'},
    };
    for (const auto& [what, bytes] : damaged) {
        EXPECT_FALSE(fresh.game.restore(bytes)) << what;
        EXPECT_EQ(fresh.game.snapshot(), before) << what;
    }
    for (std::size_t size = 0; size < good.size(); ++size) {
        ASSERT_FALSE(fresh.game.restore(good.substr(0, size))) << "cut at " << size;
    }
    EXPECT_EQ(fresh.game.snapshot(), before);
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string bytes = good;
        bytes[at] = '\xff';
        if (fresh.game.restore(bytes)) {
            EXPECT_EQ(fresh.game.snapshot(), bytes) << "at " << at;
        }
    }
    EXPECT_TRUE(fresh.game.restore(good));
}

}  // namespace
}  // namespace orbalune::testing
