#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <sstream>

#include "game/platform.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

struct ReplayRun {
    int status = 0;
    std::string out;
    std::string err;
};

ReplayRun runReplay(std::vector<const char*> arguments, const std::string& keys) {
    arguments.insert(arguments.begin(), "orbalune-replay");
    std::istringstream in(keys);
    std::ostringstream out;
    std::ostringstream err;
    const int status = replay(static_cast<int>(arguments.size()), arguments.data(), in, out, err);
    return {status, out.str(), err.str()};
}

TEST(ReplayArguments, AcceptOnlyASeedAndThePauseFlag) {
    EXPECT_EQ(parseReplayArguments(3, std::array{"r", "--seed", "0"}.data())->seed, 0U);
    const auto both =
        parseReplayArguments(4, std::array{"r", "--pauses", "--seed", "4294967295"}.data());
    ASSERT_TRUE(both);
    EXPECT_EQ(both->seed, 4294967295U);
    EXPECT_TRUE(both->showPauses);
    for (const std::vector<const char*>& bad : {std::vector<const char*>{"r"},
                                                {"r", "--seed"},
                                                {"r", "--seed", "4294967296"},
                                                {"r", "--seed", "-1"},
                                                {"r", "--seed", "12x"},
                                                {"r", "--seed", ""},
                                                {"r", "--seed", "1", "--seed", "2"},
                                                {"r", "--pauses"},
                                                {"r", "--seed", "1", "x"},
                                                {"r", "--seed", "+1"}}) {
        EXPECT_FALSE(parseReplayArguments(static_cast<int>(bad.size()), bad.data())) << bad.size();
    }
}

// A hang here fails the test run by its time limit.
TEST(TerminalPause, ReturnsAtOnceForNothingToWaitFor) {
    busyWait(0);
    busyWait(-100);
}

TEST(Replay, UsageGoesToStandardErrorWithStatusTwo) {
    const ReplayRun run = runReplay({"--seed", "abc"}, "v");
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find("usage: orbalune-replay --seed N [--pauses]"), 0U);
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST(Replay, TheSameSeedAndKeysGiveTheSameBytes) {
    const std::string keys = "v e nnnn ssss wwww eeee a i";
    const ReplayRun first = runReplay({"--seed", "2024"}, keys);
    const ReplayRun second = runReplay({"--seed", "2024"}, keys);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out, runReplay({"--seed", "2025"}, keys).out);
}

TEST(Replay, PauseMarkersAreTheOnlyDifferenceAndFollowTheirFormat) {
    std::string keys = "e";
    for (int i = 0; i < 40; ++i) {
        keys += "ncccscccwccceccc";  // c runs away and is no dungeon command
    }
    const ReplayRun plain = runReplay({"--seed", "77"}, keys);
    const ReplayRun marked = runReplay({"--seed", "77", "--pauses"}, keys);
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
