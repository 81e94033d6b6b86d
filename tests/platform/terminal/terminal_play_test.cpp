// The built programs at a pseudo-terminal, as a player and the friends watching see them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <string>

#include "platform/saved_games/save_format.hpp"
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

// Each key acts without Enter and shows after its prompt, Escape as ^[. Seed 42 then meets
// monsters at its first step north: the keys typed while they are announced act on no screen the
// player has seen, so they are dropped, and never saved. Ctrl-D ends the game.
TEST(TerminalPlay, TheScreenReadsAsTheTranscriptWithItsKeysAndDropsKeysTypedInAWait) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("my.game");
    TerminalRun game(kGame, {"--save", path, "--seed", "42"});
    ASSERT_TRUE(game.awaitPrompts(1));
    play(game,
         "vi\x1b"
         "xe");
    game.type("naaaaaaaa");
    ASSERT_TRUE(game.awaitPrompts(7)) << game.screen();
    EXPECT_TRUE(game.screen().ends_with("(a) Attack (b) Use Item (c) Run\n==> "));
    game.type(kEndKey);
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(path), saveHeader(42) + "vi\x1bxen");
    EXPECT_EQ(game.screen(), echoReplay(path) + "\n") << "the shell's prompt on a line of its own";
    EXPECT_NE(game.screen().find("==> ^[\n"), std::string::npos);
    EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings()));
}

TEST(TerminalPlay, EveryWayOfEndingLeavesTheTerminalAsItWasFound) {
    // Ctrl-D is above. Ctrl-C is typed, as the terminal makes it a signal; the others are sent.
    for (const auto& [typed, signal] : {std::pair{"\x03", SIGINT}, std::pair{"", SIGTERM},
                                        std::pair{"", SIGHUP}, std::pair{"", SIGXCPU}}) {
        TerminalRun game(kGame, {"--seed", "7"});
        ASSERT_TRUE(game.awaitPrompts(1)) << signal;
        play(game, "v");
        if (*typed == '\0') {
            game.signal(signal);
        } else {
            game.type(typed);
        }
        const int status = game.finish();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings())) << signal;
    }
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
