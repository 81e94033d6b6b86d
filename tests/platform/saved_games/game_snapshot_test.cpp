#include "platform/saved_games/game_snapshot.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.hpp"
#include "platform/saved_games/play_session.hpp"
#include "platform/saved_games/save_file.hpp"
#include "platform/saved_games/save_format.hpp"
#include "support/bot.hpp"
#include "support/program_run.hpp"

namespace orbalune::testing {
namespace {

constexpr std::uint32_t kSeed = 5;

struct Played {
    std::string out;  // pauses marked
    std::vector<GameSnapshot> snapshots;
    bool resumed = false;
};

// The saved game at `path` played on with `keys` typed, keeping its snapshots; resumed from
// `from` if it is given and taken.
Played play(const std::string& path, const std::string& keys, const GameSnapshot* from = nullptr) {
    std::istringstream in(keys);
    std::ostringstream out;
    Played played;
    SaveFile save = openSaveFile(path, kSeed);
    PlaySession session(
        Console{in, out, [&out](std::int32_t ms) { out << "{pause " << ms << '}'; }, kSeed}, &save);
    session.keepSnapshots(
        [&](const GameSnapshot& snapshot) { played.snapshots.push_back(snapshot); });
    Game game(session.console(save.seed));
    session.askedBy(game);
    played.resumed = from != nullptr && session.resumeFrom(game, *from);
    game.run();
    EXPECT_FALSE(session.finish());
    played.out = out.str();
    return played;
}

class SnapshotResume : public ::testing::Test {
protected:
    void SetUp() override {
        Bot bot(kSeed, 2500, BotStyle::Restless);  // blanks among the keys
        bot.play();
        const std::string begun = directory.file("begun.game");
        writeFile(begun, saveHeader(kSeed) + bot.typed.substr(0, 900));
        snapshots = play(begun, bot.typed.substr(900)).snapshots;
        const std::string file = readFile(begun);
        keys = file.substr(saveHeader(kSeed).size());
    }

    // The game of the file's first `end` keys, resumed from `from` (or from its start); a key
    // typed after, to show that it plays on.
    Played resume(std::size_t end, const GameSnapshot* from = nullptr) {
        const std::string path = directory.file("cut-" + std::to_string(files++) + ".game");
        writeFile(path, saveHeader(kSeed) + keys.substr(0, end));
        return play(path, "v", from);
    }

    TemporaryDirectory directory;
    std::vector<GameSnapshot> snapshots;  // taken as the game was played on after 900 keys
    std::string keys;                     // of the file, as it was saved
    int files = 0;
};

// A game resumed from any snapshot of its file shows the screen and plays on exactly as one
// caught up from its first key: with no key left to play (all that followed the last key shows),
// one (in town, the screen shows much of what was shown before the snapshot), or many.
TEST_F(SnapshotResume, PlaysOnAsAGameCaughtUpFromItsStart) {
    ASSERT_GE(snapshots.size(), 100U);
    std::size_t inTown = 0;
    for (std::size_t pick = 0; pick < snapshots.size(); ++pick) {
        const GameSnapshot& snapshot = snapshots[pick];
        std::istringstream none;
        Game game(Console{none, std::cout, {}, kSeed});
        ASSERT_TRUE(game.restore(snapshot.game));
        inTown += game.inDungeon == 0 ? 1 : 0;
        const bool sampled = pick % 25 == 0;
        if (game.inDungeon == 1 && !sampled) {
            continue;
        }
        for (const std::size_t end :
             {snapshot.taken, snapshot.taken + 1, snapshot.taken + 40, keys.size()}) {
            if (end > keys.size() || (end > snapshot.taken + 1 && !sampled)) {
                continue;
            }
            const Played resumed = resume(end, &snapshot);
            ASSERT_TRUE(resumed.resumed) << "snapshot " << pick << " end " << end;
            EXPECT_EQ(resumed.out, resume(end).out) << "snapshot " << pick << " end " << end;
        }
    }
    EXPECT_GE(inTown, 5U);
}

// A long file hands over snapshots while it catches up, every few thousand keys, for the next
// resume to play only the keys after the last (it may end in a fight or at the store, where no
// command is asked for).
TEST(SnapshotCatchUp, HandsOverSnapshotsToResumeFrom) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("long.game");
    Bot bot(kSeed, 9000);
    bot.play();
    writeFile(path, saveHeader(kSeed) + bot.typed);
    const Played caughtUp = play(path, "");
    const std::size_t keys = readFile(path).size() - saveHeader(kSeed).size();
    std::size_t during = 0;
    for (const GameSnapshot& snapshot : caughtUp.snapshots) {
        if (snapshot.taken == keys) {
            continue;  // before the command after the last key: for a file with more
        }
        ++during;
        const Played resumed = play(path, "", &snapshot);
        EXPECT_TRUE(resumed.resumed);
        EXPECT_EQ(resumed.out, caughtUp.out) << "from " << snapshot.taken;
    }
    EXPECT_EQ(during, 2U);
}

// Of another game, of more keys than the file has, or with nothing left to play: the game is
// caught up from its start instead. Damaged bytes are no snapshot.
TEST_F(SnapshotResume, IsRefusedWhereItDoesNotBelong) {
    const GameSnapshot& snapshot = snapshots[snapshots.size() / 2];
    GameSnapshot otherKeys = snapshot;
    otherKeys.keysDigest ^= 1;
    GameSnapshot otherGame = snapshot;
    otherGame.game[4] ^= 1;
    const std::vector<std::pair<const char*, std::pair<GameSnapshot, std::size_t>>> refused = {
        {"of other keys", {otherKeys, keys.size()}},
        {"of a game of other rules", {otherGame, keys.size()}},
        {"of more keys than the file has", {snapshot, snapshot.taken - 1}},
    };
    for (const auto& [why, refusal] : refused) {
        const Played resumed = resume(refusal.second, &refusal.first);
        EXPECT_FALSE(resumed.resumed) << why;
        EXPECT_EQ(resumed.out, resume(refusal.second).out) << why;
    }

    const std::string bytes = snapshot.encode();
    const std::optional<GameSnapshot> decoded = GameSnapshot::decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->encode(), bytes);
    for (std::size_t at = 0; at < bytes.size(); at += 7) {
        std::string damaged = bytes;
        damaged[at] ^= 0x20;
        EXPECT_FALSE(GameSnapshot::decode(damaged)) << "byte " << at;
        EXPECT_FALSE(GameSnapshot::decode(bytes.substr(0, at))) << "cut at " << at;
    }
}

}  // namespace
}  // namespace orbalune::testing
