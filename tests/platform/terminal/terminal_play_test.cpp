// The built programs at a pseudo-terminal, as a player and the friends watching see them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "platform/os/unique_fd.hpp"
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

// Whether a game still holds the file: a few seconds for it to let go.
bool lockTakenWithin(const std::string& path, std::chrono::seconds patience) {
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A game stopped with Ctrl-Z, then killed from the shell with a plain `kill %1` (which continues
// it in the background to take the signal): it ends, lets go of its file, and leaves the shell's
// terminal as the shell had it.
TEST(TerminalPlay, AStoppedGameEndsOnAPlainKill) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("stopped.game");
    TerminalRun shell("/bin/bash", {"--norc", "--noprofile", "-i"});
    shell.type("PS1='rea''dy> '\n");  // not the prompt itself, as the shell echoes it
    ASSERT_TRUE(shell.awaitText("ready> ")) << shell.screen();
    const termios atThePrompt = shell.settings();
    shell.type(kGame + " --save " + path + " --seed 7\n");
    ASSERT_TRUE(shell.awaitText("==> ")) << shell.screen();
    shell.type("\x1a");  // Ctrl-Z
    ASSERT_TRUE(shell.awaitText("ready> ")) << shell.screen();
    shell.type("kill %1\n");
    ASSERT_TRUE(shell.awaitText("ready> ")) << shell.screen();
    EXPECT_TRUE(lockTakenWithin(path, std::chrono::seconds(5))) << shell.screen();
    EXPECT_TRUE(sameSettings(shell.settings(), atThePrompt));
    shell.type("exit\n");
    EXPECT_NE(shell.finish(), -1);
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
