// The built programs at a pseudo-terminal, as a player and the friends watching see them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <string>
#include <vector>

#include "platform/save_format.hpp"
#include "support/program_run.hpp"
#include "support/screens.hpp"
#include "support/terminal_run.hpp"

namespace orbalune::testing {
namespace {

const std::string kGame = ORBALUNE_GAME_BINARY;
const std::string kReplay = ORBALUNE_REPLAY_BINARY;
const std::string kEndKey = "\x04";  // Ctrl-D

// What orbalune-replay --echo shows of a saved game: the game with each key after its prompt.
std::string echoReplay(const std::string& path) {
    BackgroundRun replay(kReplay, {"--echo", path});
    EXPECT_EQ(replay.finish(), 0);
    return replay.output();
}

// Types each key without Enter once the game waits for it.
void play(TerminalRun& game, const std::string& keys) {
    std::size_t prompts = countOf(game.screen(), "==> ");
    for (const char key : keys) {
        game.type(std::string(1, key));
        ASSERT_TRUE(game.awaitPrompts(++prompts)) << game.screen();
    }
}

TEST(TerminalPlay, EachKeyActsAtOnceAndTheScreenReadsAsTheTranscriptWithItsKeys) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("my.game");
    TerminalRun game(kGame, {"--save", path, "--seed", "42"});
    ASSERT_TRUE(game.awaitPrompts(1));
    play(game,
         "vi\x1b"
         "x");
    game.type(kEndKey);
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(path), saveHeader(42) + "vi\x1bx");
    EXPECT_EQ(game.screen(), echoReplay(path) + "\n") << "the shell's prompt on a line of its own";
    EXPECT_NE(game.screen().find("==> ^[\n"), std::string::npos);
    EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings()));
}

TEST(TerminalPlay, EveryWayOfEndingLeavesTheTerminalAsItWasFound) {
    struct Ending {
        std::string name;
        std::string keys;  // typed, or empty to send `signal`
        int signal;
        int exitStatus;  // when the game is not ended by a signal
    };
    const std::vector<Ending> endings = {
        {"Ctrl-D", kEndKey, 0, 0},   {"Ctrl-C", "\x03", SIGINT, 0}, {"Ctrl-\\", "\x1c", SIGQUIT, 0},
        {"SIGTERM", "", SIGTERM, 0}, {"SIGHUP", "", SIGHUP, 0},
    };
    for (const Ending& ending : endings) {
        TerminalRun game(kGame, {"--seed", "7"});
        ASSERT_TRUE(game.awaitPrompts(1)) << ending.name;
        play(game, "v");
        if (ending.keys.empty()) {
            game.signal(ending.signal);
        } else {
            game.type(ending.keys);
        }
        const int status = game.finish();
        if (ending.signal == 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == ending.exitStatus)
                << ending.name;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending.signal) << ending.name;
        }
        EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings())) << ending.name;
    }
}

// Seed 42 meets monsters at its first step north; the keys typed while they are announced act on
// no screen the player has seen, so they are dropped, and never saved.
TEST(TerminalPlay, KeysPressedWhileTheGameWaitsAreDropped) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("fight.game");
    TerminalRun game(kGame, {"--save", path, "--seed", "42"});
    ASSERT_TRUE(game.awaitPrompts(1));
    play(game, "ve");
    game.type("naaaaaaaa");
    ASSERT_TRUE(game.awaitPrompts(4)) << game.screen();
    EXPECT_TRUE(game.screen().ends_with("(a) Attack (b) Use Item (c) Run\n==> "));
    EXPECT_EQ(readFile(path), saveHeader(42) + "ven");
    game.type(kEndKey);
    game.finish();
}

// Two friends follow a game from its second screen on: each sees what the player sees from then
// on, and stops when the game ends.
TEST(Follow, ShowsTheGameAsItIsPlayedAndEndsWithIt) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("shared.game");
    TerminalRun game(kGame, {"--save", path, "--seed", "42"});
    ASSERT_TRUE(game.awaitPrompts(1));
    play(game, "v");
    BackgroundRun first(kReplay, {"--follow", path});
    BackgroundRun second(kReplay, {"--follow", path});
    for (BackgroundRun* follower : {&first, &second}) {
        ASSERT_TRUE(follower->awaitOutputEnding(kTownMenu)) << follower->output();
    }
    play(game, "ix");
    game.type(kEndKey);
    game.finish();
    for (BackgroundRun* follower : {&first, &second}) {
        const int status = follower->finish();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_TRUE(game.screen().ends_with(follower->output())) << follower->output();
        EXPECT_NE(follower->output().find("==> v\n"), std::string::npos) << "the screen of now";
        EXPECT_NE(follower->output().find("==> x\n"), std::string::npos) << "keys as they come";
    }
}

}  // namespace
}  // namespace orbalune::testing
