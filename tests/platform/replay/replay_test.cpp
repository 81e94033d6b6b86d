#include "platform/replay/replay.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <system_error>
#include <utility>

#include "platform/os/unique_fd.hpp"
#include "platform/programs/command_line.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/saved_games/save_format.hpp"
#include "support/arguments.hpp"
#include "support/program_run.hpp"
#include "support/screens.hpp"
#include "support/test_data.hpp"

namespace orbalune::testing {
namespace {

ReplayCommand parse(const std::vector<std::string>& words) {
    Arguments arguments{words};
    return parseReplayCommand(arguments.argc(), arguments.argv());
}

TEST(ReplayArguments, AcceptASeedOrASavedGameAndWhatGoesWithEach) {
    EXPECT_EQ(parse({"r", "--seed", "0"}).seed, 0U);
    const ReplayCommand both = parse({"r", "--pauses", "--seed=4294967295"});
    EXPECT_EQ(both.mode, ReplayCommand::Mode::Keys);
    EXPECT_EQ(both.seed, 4294967295U);
    EXPECT_TRUE(both.showPauses);
    const ReplayCommand file = parse({"r", "my.game", "--pauses"});
    EXPECT_EQ(file.mode, ReplayCommand::Mode::File);
    EXPECT_EQ(file.file, "my.game");
    EXPECT_TRUE(file.showPauses);
    const ReplayCommand watch = parse({"r", "--watch", "--speed=0.5", "--", "-odd.game"});
    EXPECT_EQ(watch.mode, ReplayCommand::Mode::Watch);
    EXPECT_EQ(watch.speed, 0.5);
    EXPECT_EQ(watch.file, "-odd.game");
    EXPECT_EQ(parse({"r", "--watch", "a.game"}).speed, 1.0);
    EXPECT_EQ(parse({"r", "--info", "a.game", "b.game"}).files,
              (std::vector<std::string>{"a.game", "b.game"}));
    EXPECT_EQ(parse({"r", "--ttyrec", "--speed", "2", "a.game"}).mode, ReplayCommand::Mode::Ttyrec);
    EXPECT_EQ(parse({"r", "--help", "--info"}).request, ProgramRequest::Help);
}

TEST(ReplayArguments, RefuseEverythingElseSayingWhy) {
    const std::string badSeed = "the seed must be a number from 0 to 4294967295, not ";
    const std::string badSpeed = "the speed must be a positive number, not ";
    // The shared reader's own refusals (unknown options, missing values) are the game's, tested
    // with its command line.
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"r", "--pauses"}, "give --seed N or a saved game FILE"},
        {{"r", "--seed", "4294967296"}, badSeed + "'4294967296'"},
        {{"r", "--seed", "1", "x"}, "a saved game has its own seed: give FILE or --seed, not both"},
        {{"r", "--seed", "4", ""}, "the saved game FILE is an empty name"},
        {{"r", "a.game", "b.game"}, "unexpected argument 'b.game'"},
        {{"r", "--watch", "--seed", "1"}, "--watch needs a saved game FILE"},
        {{"r", "--watch", "--info", "a.game"}, "--watch and --info do not go together"},
        {{"r", "--echo", "--follow", "a.game"}, "--follow and --echo do not go together"},
        {{"r", "--follow", "--speed", "2", "a.game"},
         "--speed goes with --watch, --cast or --ttyrec"},
        {{"r", "--cast", "--ttyrec", "a.game"}, "--cast and --ttyrec do not go together"},
        {{"r", "--watch", "--cast", "a.game"}, "--watch and --cast do not go together"},
        {{"r", "--cast", "a.game", "b.game"}, "unexpected argument 'b.game'"},
        {{"r", "--follow", "--pauses", "a.game"}, "--pauses goes with an instant replay"},
    };
    for (const auto& [words, why] : refused) {
        Arguments arguments{words};
        try {
            parseReplayCommand(arguments.argc(), arguments.argv());
            ADD_FAILURE() << "accepted: " << why;
        } catch (const CommandLineError& error) {
            EXPECT_EQ(error.message, why);
        }
    }
    // Read alike by every standard library and in every locale.
    for (const auto& [speed, value] : {std::pair{"3.", 3.0}, std::pair{".25", 0.25},
                                       std::pair{"2e1", 20.0}, std::pair{"1E-1", 0.1}}) {
        EXPECT_EQ(parse({"r", "--watch", "--speed", speed, "a.game"}).speed, value) << speed;
    }
    for (const std::string speed :
         {"0", "fast", "nan", "inf", "-1", "+2", " 2", "2 ", "0x1p0", "1e", "1e400", "1,5", "."}) {
        Arguments arguments{{"r", "--watch", "--speed", speed, "a.game"}};
        try {
            parseReplayCommand(arguments.argc(), arguments.argv());
            ADD_FAILURE() << "accepted the speed " << speed;
        } catch (const CommandLineError& error) {
            EXPECT_EQ(error.message, badSpeed + "'" + speed + "'");
        }
    }
}

TEST(Replay, UsageGoesToStandardErrorAndHelpToStandardOutput) {
    const ProgramRun run = runReplay({"orbalune-replay", "--seed", "abc"}, "v");
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "orbalune-replay: the seed must be a number from 0 to 4294967295, not 'abc'\n" +
                  std::string(kReplayUsage));
    const ProgramRun help = runReplay({"r", "-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with(std::string(kReplayUsage) + "\n")) << help.out;
    EXPECT_NE(help.out.find("--speed X"), std::string::npos);
    EXPECT_EQ(runReplay({"r", "--version"}).out, "orbalune-replay " ORBALUNE_VERSION "\n");
}

TEST(Replay, PauseMarkersAreTheOnlyDifferenceAndFollowTheirFormat) {
    std::string keys = "e";
    for (int i = 0; i < 40; ++i) {
        keys += "ncccscccwccceccc";  // c runs away and is no dungeon command
    }
    const ProgramRun plain = runReplay({"r", "--seed", "77"}, keys);
    const ProgramRun marked = runReplay({"r", "--seed", "77", "--pauses"}, keys);
    const std::regex marker(R"(\{pause (-?[0-9]+)\})");
    EXPECT_EQ(std::regex_replace(marked.out, marker, ""), plain.out);
    std::size_t markers = 0;
    for (auto it = std::sregex_iterator(marked.out.begin(), marked.out.end(), marker);
         it != std::sregex_iterator(); ++it) {
        ++markers;
        EXPECT_GE(std::stoi((*it)[1]), 0);
    }
    EXPECT_GT(markers, 0U) << "some fight paused";
    EXPECT_NE(marked.out.find("attacks"), std::string::npos);
}

// The golden game saved by the game itself: fights won and lost, a death and a resurrection.
TEST(ReplayFile, GivesTheSameBytesAsItsSeedAndKeys) {
    const TemporaryDirectory directory;
    const std::string keys = readTestData("golden.keys");
    const std::string path = directory.file("golden.game");
    runGame({"--save", path, "--seed", "19"}, keys);
    const ProgramRun fromFile = runReplay({"r", "--pauses", path}, "ignored");
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, runReplay({"r", "--seed", "19", "--pauses"}, keys).out);
    EXPECT_EQ(fromFile.out, readTestData("golden.expected"));
}

// A bug report's attachment: the game as the player's terminal showed it, each key after the
// prompt that took it, a key no terminal prints in caret notation, a blank as nothing.
TEST(ReplayFile, EchoShowsEachKeyAfterItsPrompt) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("bug.game");
    const std::string keys = "v\x1b e";
    writeFile(path, saveHeader(42) + keys);
    std::string expected = runReplay({"r", "--seed", "42"}, keys).out;
    std::size_t at = 0;
    for (const std::string shown : {"v\n", "^[\n", "e\n"}) {
        at = expected.find("==> ", at) + 4;
        expected.insert(at, shown);
    }
    const ProgramRun echoed = runReplay({"r", "--echo", path});
    EXPECT_EQ(echoed.status, 0);
    EXPECT_EQ(echoed.out, expected);
}

TEST(ReplayFile, RefusesAFileAsTheGameDoes) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("notes.txt");
    writeFile(path, "Orbalune notes\n");
    for (const char* mode : {"--info", "--watch", "--pauses"}) {
        const ProgramRun run = runReplay({"r", mode, path});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "orbalune-replay: " + path + ": not an orbalune saved game\n");
    }
    const ProgramRun missing = runReplay({"r", directory.file("none.game")});
    EXPECT_EQ(missing.err, "orbalune-replay: " + directory.file("none.game") +
                               ": cannot open: No such file or directory\n");
}

// The instant replay's transcript as a watch shows it: each key echoed after its prompt a
// delay after it, and every wait slept, all `speed` times as fast.
std::string watched(std::string transcript, const std::string& keys, double speed) {
    const auto slept = [speed](double ms) {
        return "{sleep " + std::to_string(static_cast<long>(ms * 1000 / speed)) + "}";
    };
    const std::regex pause(R"(\{pause ([0-9]+)\})");
    std::string result;
    auto last = transcript.cbegin();
    for (auto it = std::sregex_iterator(transcript.begin(), transcript.end(), pause);
         it != std::sregex_iterator(); ++it) {
        result.append(last, (*it)[0].first).append(slept(std::stod((*it)[1])));
        last = (*it)[0].second;
    }
    result.append(last, transcript.cend());
    std::size_t at = 0;
    for (const char key : keys) {
        at = result.find("==> ", at) + 4;
        const std::string echo = slept(kWatchKeyDelayMs) + key + '\n';
        result.insert(at, echo);
        at += echo.size();
    }
    return result + '\n';
}

TEST(Watch, EchoesEachKeyAfterItsPromptAndSleepsEveryWaitScaledBySpeed) {
    const TemporaryDirectory directory;
    const std::string keys = "ven aaa";
    const std::string path = directory.file("fight.game");
    writeFile(path, saveHeader(42) + keys);
    const std::string instant = runReplay({"r", "--pauses", path}).out;
    ASSERT_GE(countOf(instant, "{pause"), 4U);
    for (const auto& [speed, option] :
         {std::pair{1.0, "--speed=1"}, std::pair{4.0, "--speed=4"}, std::pair{0.5, "--speed=.5"}}) {
        const ProgramRun run = runReplay({"r", "--watch", option, path});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, watched(instant, "venaaa", speed)) << option;
    }
}

// Nobody is watching any more: no point sleeping through the rest of the game.
TEST(Watch, StopsWhenTheScreenCannotBeWritten) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("long.game");
    writeFile(path, saveHeader(19) + readTestData("golden.keys"));
    Arguments arguments{{"r", "--watch", path}};
    std::istringstream in;
    std::ofstream full("/dev/full");
    std::ostringstream err;
    int sleeps = 0;
    const auto sleep = [&sleeps](std::chrono::microseconds) { ++sleeps; };
    EXPECT_EQ(replay(arguments.argc(), arguments.argv(), {in, full, err, sleep}), kExitWriteFailed);
    EXPECT_EQ(err.str(), "orbalune-replay: cannot write to standard output\n");
    EXPECT_LE(sleeps, 1);
}

// The shell's prompt after a watch starts a line of its own, and never after a blank line: a
// game that ends at a prompt, and one that ends at the store's choice, which ends its own line.
TEST(Watch, EndsWithOneLineEnd) {
    const TemporaryDirectory directory;
    for (const auto& [keys, end] : {std::pair{"v", "View Stats  \n==> \n"},
                                    std::pair{"b",
                                              "}b\n\nWelcome to my store!\n\n(a) Buy  "
                                              "(b) Sell\n"}}) {
        const std::string path = directory.file(std::string(keys) + ".game");
        writeFile(path, saveHeader(42) + keys);
        const ProgramRun run = runReplay({"r", "--watch", path});
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.ends_with(end)) << run.out;
    }
}

TEST(Watch, AClockThatCannotBeSleptOnIsAnErrorItSays) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("fight.game");
    writeFile(path, saveHeader(19) + readTestData("golden.keys"));
    Arguments arguments{{"r", "--watch", path}};
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const auto sleep = [](std::chrono::microseconds) {
        throw std::system_error(EINVAL, std::generic_category(), "cannot read the monotonic clock");
    };
    EXPECT_EQ(replay(arguments.argc(), arguments.argv(), {in, out, err, sleep}), kExitOnFatalError);
    EXPECT_EQ(err.str(), "orbalune-replay: cannot read the monotonic clock: Invalid argument\n");
}

// No one plays it: the screen a resumed game would show, and the end at once; watched from its
// start, the same as --watch.
TEST(Follow, AGameNoOnePlaysEndsAtItsScreenOfNow) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("left.game");
    writeFile(path, saveHeader(42) + "ven a");
    const ProgramRun followed = runReplay({"r", "--follow", path});
    EXPECT_EQ(followed.status, 0);
    const std::string resumed = runGame({"--save", path}, "").out;
    EXPECT_EQ(countOf(followed.out, "{sleep"), countOf(resumed, "{pause"));
    EXPECT_EQ(std::regex_replace(followed.out, std::regex("\\{sleep [0-9]+\\}"), ""),
              std::regex_replace(resumed, std::regex("\\{pause [0-9]+\\}"), "") + "\n");
    EXPECT_EQ(runReplay({"r", "--watch", "--follow", "--speed", "2", path}).out,
              runReplay({"r", "--watch", "--speed", "2", path}).out);
}

TEST(Info, SaysWhereTheGameStands) {
    const TemporaryDirectory directory;
    // Seed 42 meets monsters at its first step north.
    const std::string fight = directory.file("fight.game");
    writeFile(fight, saveHeader(42) + "v e n\n");
    EXPECT_EQ(runReplay({"r", "--info", fight}).out,
              fight +
                  ": seed 42, 3 keys, rules version 1\n"
                  "in a fight: dungeon #1, character level 1, 28/28 HP, 0 mokels, 0 Orbalunes "
                  "carried out, 0 deaths, 0 resurrections\n");

    // The golden game up to the fight it loses, at 2/57 hit points against a Hopsel.
    const std::string dead = directory.file("dead.game");
    writeFile(dead, saveHeader(19) + readTestData("golden.keys").substr(0, 146));
    const ProgramRun run = runReplay({"r", "--info", dead});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, dead +
                           ": seed 19, 145 keys, rules version 1\n"
                           "dead: next dungeon #3, character level 4, 0/57 HP, 43 mokels, 2 "
                           "Orbalunes carried out, 1 death, 0 resurrections\n");

    // A daily game's seed is its day.
    const std::string daily = directory.file("daily.game");
    writeFile(daily, saveHeader(20261210) + "v");
    EXPECT_TRUE(runReplay({"r", "--info", daily})
                    .out.starts_with(daily + ": seed 20261210 (the daily dungeon of 2026-12-10), "
                                             "1 key, rules version 1\n"));

    // A game that holds its file is being played now.
    const UniqueFd held(::open(fight.c_str(), O_RDONLY));
    ASSERT_EQ(::flock(held.get(), LOCK_EX), 0);
    EXPECT_TRUE(
        runReplay({"r", "--info", fight})
            .out.ends_with(
                "being played now: dungeon #1, character level 1, 28/28 HP, 0 mokels, 0 Orbalunes "
                "carried out, 0 deaths, 0 resurrections\n"));
}

// Several files: a row each under the header, the deepest first, the columns lined up; one that
// cannot be read says why, last, and makes the status 2.
TEST(Info, TabulatesSeveralGamesTheDeepestFirst) {
    const TemporaryDirectory directory;
    const std::string shallow = directory.file("shallow.game");
    writeFile(shallow, saveHeader(42) + "v e n");
    const std::string deep = directory.file("a-much-longer-name.game");
    writeFile(deep, saveHeader(19) + readTestData("golden.keys").substr(0, 146));
    const std::string missing = directory.file("missing.game");
    const ProgramRun run = runReplay({"r", "--info", shallow, missing, deep});
    EXPECT_EQ(run.status, 2);
    std::istringstream table(run.out);
    std::vector<std::string> rows;
    for (std::string row; std::getline(table, row);) {
        rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 4U) << run.out;
    const std::string header =
        "SEED  KEYS  DUNGEON  LEVEL     HP  MOKELS  ORBALUNES  DEATHS  RESURRECTIONS  NOW";
    const std::size_t columns = deep.size() + 2;  // the longest name, and the gap after it
    EXPECT_EQ(rows[0], "FILE" + std::string(columns - 4, ' ') + header);
    EXPECT_EQ(rows[1], deep + "    19   145        3      4   0/57      43          2       1  " +
                           "            0  dead");
    EXPECT_EQ(rows[2], shallow + std::string(columns - shallow.size(), ' ') +
                           "  42     3        1      1  28/28       0          0       0  " +
                           "            0  in a fight");
    EXPECT_EQ(rows[3], missing + "  cannot open: No such file or directory");
}

}  // namespace
}  // namespace orbalune::testing
