#include "platform/programs/game_program.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/programs/exit_status.hpp"
#include "platform/saved_games/save_format.hpp"
#include "support/program_run.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(GameProgram, WithoutOptionsPlaysTheClockSeededGame) {
    const ProgramRun run = runGame({}, "v", 42);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kTownScreen + "\nLV: 1 XP: 0/100 HP: 28/28 Mokels: 0\n" + kTownScreen);
    EXPECT_EQ(runGame({"--seed", "42"}, "v", 7).out, run.out);
    EXPECT_EQ(runGame({"--", "--seed=42"}, "v").status, kExitUsage) << "-- ends the options";
}

// Today's dungeon is seeded with the date in UTC, whatever the time of day: the clock here reads
// 2026-12-09 23:46:40 and 23:59:59. A saved game keeps its own seed, daily or not.
TEST(GameProgram, TodaysDungeonIsSeededWithTheDate) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("today.game");
    EXPECT_EQ(runGame({"--daily", "--save", path}, "v", 1796860000).status, 0);
    EXPECT_EQ(readFile(path), saveHeader(20261209) + "v");
    EXPECT_EQ(runGame({"--daily"}, "v", 1796860799).out, runGame({"--seed", "20261209"}, "v").out);
    const ProgramRun again = runGame({"--daily", "--save", path}, "v", 1796860000);
    EXPECT_EQ(again.status, kExitUsage);
    EXPECT_EQ(again.err,
              "orbalune: " + path + ": a saved game has its own seed; --daily is for a new game\n");
}

TEST(GameProgram, HelpAndVersionGoToStandardOutput) {
    for (const char* help : {"--help", "-h", "--he"}) {
        const ProgramRun run = runGame({help}, "");
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(
            run.out.starts_with("usage: orbalune [--save FILE] [--seed N | --daily] [--line] "
                                "[--help] [--version]\n\n"));
        EXPECT_NE(run.out.find("--save FILE"), std::string::npos);
        EXPECT_EQ(run.err, "");
    }
    const ProgramRun version = runGame({"--version"}, "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "orbalune " ORBALUNE_VERSION "\n");
}

TEST(GameProgram, AnythingElseGetsTheReasonAndTheUsageOnStandardError) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"extra"}, "unexpected argument 'extra'"},
        {{"--save"}, "option '--save' needs a value"},
        {{"--seed", "x"}, "the seed must be a number from 0 to 4294967295, not 'x'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--version=2"}, "option '--version=2' takes no value"},
        {{"--save", "a", "--save", "b"}, "option '--save' given twice"},
        {{"--save", ""}, "the saved game FILE is an empty name"},
        {{"--save="}, "the saved game FILE is an empty name"},
        {{"--daily", "--seed", "3"},
         "--daily is a seed of its own: give --seed or --daily, not both"},
    };
    for (const auto& [words, reason] : refused) {
        const ProgramRun run = runGame(words, "v");
        EXPECT_EQ(run.status, kExitUsage) << reason;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "orbalune: " + reason +
                               "\nusage: orbalune [--save FILE] [--seed N | --daily] [--line] "
                               "[--help] [--version]\n");
    }
}

// A file's name in any alphabet, as a terminal that speaks UTF-8 shows it; elsewhere in caret
// notation, where its bytes could be taken for controls.
TEST(GameProgram, NamesAFileAsTheUsersTerminalShowsIt) {
    for (const auto& [locale, shown] :
         {std::pair{"C.UTF-8", "caf\xc3\xa9"}, std::pair{"C", "cafM-CM-)"}}) {
        ::setenv("LC_ALL", locale, 1);
        const ProgramRun run = runGame({"--save", "nowhere/caf\xc3\xa9.game"}, "");
        EXPECT_EQ(run.err, "orbalune: nowhere/" + std::string(shown) +
                               ".game: cannot create: No such file or directory\n")
            << locale;
    }
    ::unsetenv("LC_ALL");
}

}  // namespace
}  // namespace orbalune::testing
