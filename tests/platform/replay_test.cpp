#include "platform/replay.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <sstream>

#include "platform/command_line.hpp"
#include "platform/exit_status.hpp"
#include "platform/game_program.hpp"
#include "support/arguments.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

struct ReplayRun {
    int status = 0;
    std::string out;
    std::string err;
};

ReplayRun runReplay(const std::vector<std::string>& words, const std::string& keys) {
    Arguments arguments{words};
    std::istringstream in(keys);
    std::ostringstream out;
    std::ostringstream err;
    const int status = replay(arguments.argc(), arguments.argv(), in, out, err);
    return {status, out.str(), err.str()};
}

ReplayCommand parse(const std::vector<std::string>& words) {
    Arguments arguments{words};
    return parseReplayCommand(arguments.argc(), arguments.argv());
}

TEST(ReplayArguments, AcceptOnlyASeedAndThePauseFlag) {
    EXPECT_EQ(parse({"r", "--seed", "0"}).seed, 0U);
    const ReplayCommand both = parse({"r", "--pauses", "--seed=4294967295"});
    EXPECT_EQ(both.seed, 4294967295U);
    EXPECT_TRUE(both.showPauses);
}

TEST(ReplayArguments, RefuseEverythingElseSayingWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"r"}, "--seed is required"},
        {{"r", "--pauses"}, "--seed is required"},
        {{"r", "--seed"}, "option '--seed' needs a value"},
        {{"r", "--seed", "4294967296"},
         "the seed must be a number from 0 to 4294967295, not "
         "'4294967296'"},
        {{"r", "--seed", "-1"}, "the seed must be a number from 0 to 4294967295, not '-1'"},
        {{"r", "--seed", "12x"}, "the seed must be a number from 0 to 4294967295, not '12x'"},
        {{"r", "--seed", ""}, "the seed must be a number from 0 to 4294967295, not ''"},
        {{"r", "--seed", "+1"}, "the seed must be a number from 0 to 4294967295, not '+1'"},
        {{"r", "--seed", "1", "--seed", "2"}, "option '--seed' given twice"},
        {{"r", "--seed", "1", "x"}, "unexpected argument 'x'"},
        {{"r", "--seed", "1", "--", "--pauses"}, "unexpected argument '--pauses'"},
        {{"r", "--seed", "1", "--speed"}, "unknown option '--speed'"},
        {{"r", "--seed", "1", "-p"}, "unknown option '-p'"},
        {{"r", "--seed", "1", "--pauses=yes"}, "option '--pauses=yes' takes no value"},
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
}

// A hang here fails the test run by its time limit.
TEST(TerminalPause, ReturnsAtOnceForNothingToWaitFor) {
    busyWait(0);
    busyWait(-100);
}

TEST(Replay, UsageGoesToStandardErrorWithStatusTwo) {
    const ReplayRun run = runReplay({"orbalune-replay", "--seed", "abc"}, "v");
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "orbalune-replay: the seed must be a number from 0 to 4294967295, not 'abc'\n"
              "usage: orbalune-replay --seed N [--pauses]   (N from 0 to 4294967295)\n");
}

TEST(Replay, TheSameSeedAndKeysGiveTheSameBytes) {
    const std::string keys = "v e nnnn ssss wwww eeee a i";
    const ReplayRun first = runReplay({"r", "--seed", "2024"}, keys);
    const ReplayRun second = runReplay({"r", "--seed", "2024"}, keys);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out, runReplay({"r", "--seed", "2025"}, keys).out);
}

TEST(Replay, PauseMarkersAreTheOnlyDifferenceAndFollowTheirFormat) {
    std::string keys = "e";
    for (int i = 0; i < 40; ++i) {
        keys += "ncccscccwccceccc";  // c runs away and is no dungeon command
    }
    const ReplayRun plain = runReplay({"r", "--seed", "77"}, keys);
    const ReplayRun marked = runReplay({"r", "--seed", "77", "--pauses"}, keys);
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

}  // namespace
}  // namespace orbalune::testing
