#include "platform/saved_games/play_session.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/programs/game_program.hpp"
#include "platform/saved_games/save_file.hpp"
#include "support/arguments.hpp"
#include "support/bot.hpp"
#include "support/program_run.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

std::string seedOption(std::uint32_t seed) {
    return "--seed=" + std::to_string(seed);
}

// Stopping a game anywhere and resuming it leaves the same file and plays on as if it had never
// stopped: the same output from where it stopped, the same waits.
TEST(Resume, PlaysOnExactlyAsAnUnbrokenGame) {
    const TemporaryDirectory directory;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        Bot bot(seed, 1500);
        bot.play();
        const std::string& keys = bot.typed;
        const std::string whole = directory.file("whole-" + std::to_string(seed));
        const ProgramRun unbroken = runGame({"--save", whole, seedOption(seed)}, keys);
        for (const std::size_t cut : {std::size_t{0}, std::size_t{1}, keys.size() / 3 + seed,
                                      keys.size() / 2 + 7 * seed, keys.size()}) {
            const std::string split =
                directory.file(std::to_string(seed) + "-" + std::to_string(cut));
            const ProgramRun first =
                runGame({"--save", split, seedOption(seed)}, keys.substr(0, cut));
            const ProgramRun resumed = runGame({"--save", split}, keys.substr(cut));
            ASSERT_EQ(resumed.status, 0) << resumed.err;
            EXPECT_EQ(readFile(split), readFile(whole)) << "seed " << seed << " cut " << cut;
            ASSERT_TRUE(unbroken.out.starts_with(first.out));
            EXPECT_TRUE(resumed.out.ends_with(unbroken.out.substr(first.out.size())))
                << "seed " << seed << " cut " << cut;
        }
    }
}

// The unbroken game's output as the terminal showed it: each key echoed after its prompt.
std::string echoed(std::string output, const std::string& keys) {
    std::size_t at = 0;
    for (const char key : keys) {
        at = output.find("==> ", at) + 4;
        output.insert(at, std::string{key, '\n'});
    }
    return output;
}

TEST(Resume, ShowsTheScreenAsItWasLeft) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("town.game");
    runGame({"--save", path, "--seed", "42"}, "v");
    const ProgramRun resumed = runGame({"--save", path}, "");
    EXPECT_EQ(resumed.out,
              kTownScreen + "v\n\nLV: 1 XP: 0/100 HP: 28/28 Mokels: 0\n" + kTownScreen);
}

// The last key walked into monsters: the screen stops where the fight's first wait begins, and
// the fight goes on from there with its real waits.
TEST(Resume, AFightTheLastKeyStartedGoesOnWithItsWaits) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("fight.game");
    const std::string keys = "ven";
    const std::string unbroken = runGame({"--seed", "42"}, keys).out;
    runGame({"--save", path, "--seed", "42"}, keys);
    const std::string resumed = runGame({"--save", path}, "").out;

    const std::size_t firstWait = unbroken.find("{pause");
    ASSERT_NE(firstWait, std::string::npos);
    ASSERT_NE(unbroken.find("You see", keys.size()), std::string::npos);
    const std::string shown = echoed(unbroken.substr(0, firstWait), keys);
    std::size_t screenStart = shown.size();
    for (std::size_t lineEnds = 0; lineEnds < kScreenLines; ++lineEnds) {
        screenStart = shown.rfind('\n', screenStart - 1);
    }
    EXPECT_EQ(resumed, shown.substr(screenStart + 1) + unbroken.substr(firstWait));

    // A file made by hand may end in blanks: the game has caught up all the same.
    const std::string byHand = directory.file("by-hand.game");
    writeFile(byHand, saveHeader(42) + "v e n \n\n");
    EXPECT_EQ(runGame({"--save", byHand}, "").out, resumed);
}

// A page that shows the questions' choices hears none of those the file's keys answer: the
// first it hears is the question the player finds the game at (here a fight's first menu).
TEST(Resume, TellsOnlyTheQuestionsThePlayerSees) {
    std::istringstream keyboard("");
    std::ostringstream screen;
    std::vector<Question::Kind> heard;
    SaveFile save{"fight.game", UniqueFd(::open("/dev/null", O_WRONLY | O_CLOEXEC)), 42,
                  SavedKeys("ven")};
    PlaySession session(
        Console{keyboard,
                screen,
                {},
                0,
                [&heard](const Question& question) { heard.push_back(question.kind); }},
        &save);
    Game game(session.console(save.seed));
    EXPECT_EQ(game.run(), 0);
    EXPECT_EQ(heard, std::vector<Question::Kind>{Question::Kind::Fight});
}

TEST(Resume, StopsBeforeAKeyThatCannotBeSaved) {
    std::istringstream keyboard("ve");
    std::ostringstream screen;
    SaveFile full{"full.game", UniqueFd(::open("/dev/full", O_WRONLY | O_CLOEXEC)), 42,
                  SavedKeys("v")};
    ASSERT_TRUE(full.fd);
    PlaySession session(Console{keyboard, screen, {}, 0}, &full);
    Game game(session.console(full.seed));
    EXPECT_EQ(game.run(), 0);
    EXPECT_EQ(session.finish(),
              "full.game: cannot save the next key: No space left on device (the game stopped "
              "before it)");
    EXPECT_TRUE(screen.str().ends_with(kTownScreen)) << "v was replayed, e never acted on";
    EXPECT_EQ(game.inDungeon, 0);
}

}  // namespace
}  // namespace orbalune::testing
