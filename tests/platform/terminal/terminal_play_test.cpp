// The built programs at a pseudo-terminal, as a player and the friends watching see them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
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

// Seed 42 meets monsters at its first step north. The up arrow takes that step, and is saved as
// the letter, also when it comes in one read with the key before it (keys over ssh come in
// bursts); the left arrow, a letter of another alphabet, a sequence of any length and a
// terminal's answer in town, and the right arrow in the fight (which was once ESC, [ and C: run
// away), are nothing at all.
TEST(TerminalPlay, ArrowsMoveInTheDungeonAndOtherSequencesAreNothing) {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    const TemporaryDirectory directory;
    const std::string path = directory.file("arrows.game");
    TerminalRun game(kGame, {"--save", path, "--seed", "42"});
    ASSERT_TRUE(game.awaitPrompts(1));
    game.type("\x1b[D\xc3\xa9\x1bOH\x1b[" + std::string(10000, '1') +
              "A\x1b]11;rgb:0000/0000/0000\x1b\\");
    play(game, "ve");
    game.type("v\x1b[A");
    ASSERT_TRUE(game.awaitPrompts(5)) << game.screen();
    EXPECT_TRUE(game.screen().ends_with("(a) Attack (b) Use Item (c) Run\n==> "));
    game.type("\x1b[C" + kEndKey);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(readFile(path), saveHeader(42) + "vevn");
    EXPECT_EQ(game.screen(), echoReplay(path) + "\n");
}

// Typed while a long file caught up, a key would act on a screen not shown yet.
TEST(TerminalPlay, KeysTypedDuringTheCatchUpAreDropped) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("long.game");
    const std::string keys(200'000, 'v');
    writeFile(path, saveHeader(42) + keys);
    TerminalRun game(kGame, {"--save", path});
    game.type("e");
    ASSERT_TRUE(game.awaitPrompts(1));
    game.type(kEndKey);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_EQ(readFile(path), saveHeader(42) + keys);
}

// Another program left the shared terminal non-blocking: the game waits for its keys all the
// same, and leaves the terminal so.
TEST(TerminalPlay, ANonBlockingTerminalStillWaitsForKeys) {
    TerminalRun game(kGame, {"--seed", "42"});
    game.leaveNonBlocking();
    ASSERT_TRUE(game.awaitPrompts(1));
    play(game, "v");
    game.type(kEndKey);
    EXPECT_EQ(game.finish(), 0);
    EXPECT_NE(game.screen().find("==> v\n\nLV: 1"), std::string::npos) << game.screen();
    EXPECT_TRUE(game.nonBlocking());
}

// The shell's prompt starts a line of its own, never after a blank one: keys from a file, the
// game ending at a prompt; and at the store's choice, which ends its line itself.
TEST(TerminalPlay, TheShellsPromptGetsALineOfItsOwn) {
    const TemporaryDirectory directory;
    const std::string keys = directory.file("keys");
    writeFile(keys, "v");
    TerminalRun fromFile(kGame, {"--seed", "42"}, keys);
    EXPECT_EQ(fromFile.finish(), 0);
    EXPECT_TRUE(fromFile.screen().ends_with("(V) View Stats  \n==> \n")) << fromFile.screen();

    TerminalRun atTheStore(kGame, {"--seed", "42"});
    ASSERT_TRUE(atTheStore.awaitPrompts(1));
    atTheStore.type("b");
    ASSERT_TRUE(atTheStore.awaitText("(a) Buy  (b) Sell\n"));
    atTheStore.type(kEndKey);
    EXPECT_EQ(atTheStore.finish(), 0);
    EXPECT_TRUE(
        atTheStore.screen().ends_with("==> b\n\nWelcome to my store!\n\n(a) Buy  (b) Sell\n"))
        << atTheStore.screen();
}

// A file size limit (ulimit -f) reached while saving a key: the game says so and ends with
// status 3, the terminal as it was found, where SIGXFSZ would have killed it in single-key mode.
TEST(TerminalPlay, AFileSizeLimitEndsTheGameWithItsReason) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("limited.game");
    rlimit unlimited{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    rlimit limited = unlimited;
    limited.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &limited);  // for the game, which takes it on when it starts
    TerminalRun game(kGame, {"--save", path, "--seed", "42"});
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    ASSERT_TRUE(game.awaitPrompts(1));
    game.type(std::string(60, 'v'));
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    EXPECT_NE(
        game.screen().find("orbalune: " + path + ": cannot save the next key: File too large"),
        std::string::npos)
        << game.screen();
    EXPECT_EQ(readFile(path).size(), 100U);
    EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings()));
}

TEST(TerminalPlay, EveryWayOfEndingLeavesTheTerminalAsItWasFound) {
    // Ctrl-D is above. Ctrl-C is typed, as the terminal makes it a signal; the others are sent.
    std::vector<std::pair<const char*, int>> endings = {{"\x03", SIGINT}};
    for (const int signal : {SIGTERM, SIGHUP, SIGXCPU, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                             SIGPROF, SIGPIPE, SIGABRT}) {
        endings.emplace_back("", signal);
    }
    for (const auto& [typed, signal] : endings) {
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

// Started with hangups ignored (nohup, or a host's wrapper that keeps games through a dropped
// line), the game is not ended by one.
TEST(TerminalPlay, AGameStartedIgnoringHangupsPlaysOnThroughOne) {
    TerminalRun game("/bin/sh", {"-c", "trap '' HUP; exec " + kGame + " --seed 7"});
    ASSERT_TRUE(game.awaitPrompts(1)) << game.screen();
    game.signal(SIGHUP);
    play(game, "v");
    game.type(kEndKey);
    const int status = game.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings()));
}

// A processor time limit of `ulimit -t` (soft and hard the same) would end the game with
// SIGKILL, which leaves the terminal as the game set it: the game is warned first, and ends by
// SIGXCPU with the terminal restored. A long catch-up spends the time.
TEST(TerminalPlay, AProcessorTimeLimitEndsTheGameWithTheTerminalRestored) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("long.game");
    writeFile(path, saveHeader(42) + std::string(20'000'000, 'v'));
    for (const char* seconds : {"1", "2"}) {
        TerminalRun game("/bin/sh", {"-c", std::string("ulimit -t ") + seconds + "; exec " + kGame +
                                               " --save " + path});
        const int status = game.finish();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
            << seconds << ": " << status;
        EXPECT_TRUE(sameSettings(game.settings(), game.initialSettings())) << seconds;
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

// A game stopped with Ctrl-Z comes back with `fg` showing its line again, under the shell's.
// Stopped again, then killed from the shell with a plain `kill %1` (which continues it in the
// background to take the signal): it ends, lets go of its file, and leaves the shell's terminal
// as the shell had it.
TEST(TerminalPlay, AStoppedGameComesBackWithItsLineAndEndsOnAPlainKill) {
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
    // Back in front, below the shell's line: the game's own line again, and the key after it.
    shell.type("fg\n");
    ASSERT_TRUE(shell.awaitText("--seed 7")) << shell.screen();
    ASSERT_TRUE(shell.awaitText("\n==> ")) << shell.screen();
    shell.type("v");
    ASSERT_TRUE(shell.awaitText("==> ")) << shell.screen();
    shell.type("\x1a");
    ASSERT_TRUE(shell.awaitText("ready> ")) << shell.screen();
    shell.type("kill %1\n");
    ASSERT_TRUE(shell.awaitText("ready> ")) << shell.screen();
    EXPECT_TRUE(lockTakenWithin(path, std::chrono::seconds(5))) << shell.screen();
    EXPECT_TRUE(sameSettings(shell.settings(), atThePrompt));
    shell.type("exit\nexit\n");  // twice, if the shell has not yet seen its job end
    EXPECT_NE(shell.finish(), -1);
}

// A game that leads its own session, as ssh's ForceCommand and tmux start it, has no shell to
// continue it, and the kernel never stops it: Ctrl-Z does nothing, and keys act without Enter.
TEST(TerminalPlay, CtrlZDoesNothingWhereNoShellCouldContinueTheGame) {
    TerminalRun game(kGame, {"--seed", "42"});
    ASSERT_TRUE(game.awaitPrompts(1));
    game.type("\x1a");
    play(game, "vi");
    EXPECT_EQ(game.settings().c_lflag & static_cast<tcflag_t>(ICANON | ECHO), 0U);
    game.type(kEndKey);
    EXPECT_EQ(game.finish(), 0);
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
