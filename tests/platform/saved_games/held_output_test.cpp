#include "platform/saved_games/held_output.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace orbalune::testing {
namespace {

std::string numberedLines(int from, int to) {
    std::string text;
    for (int line = from; line <= to; ++line) {
        text += "line " + std::to_string(line) + "\n";
    }
    return text;
}

TEST(HeldOutput, ShowsTheLastScreenfulEndingWithThePrompt) {
    HeldOutput held;
    std::ostream out(&held);
    out << numberedLines(1, 5000) << "==> ";  // far past the trimming threshold
    held.echo('v');
    held.markCaughtUp();
    out << numberedLines(5001, 5002) << "==> ";
    EXPECT_EQ(held.screen(),
              numberedLines(4981, 5000) + "==> v\n" + numberedLines(5001, 5002) + "==> ");
}

TEST(HeldOutput, ShowsAllThatCameAfterTheLastKeyHoweverLong) {
    HeldOutput held;
    std::ostream out(&held);
    out << numberedLines(1, 10) << "==> ";
    held.markCaughtUp();
    out << numberedLines(11, 60) << "==> ";
    EXPECT_EQ(held.screen(), numberedLines(11, 60) + "==> ");
}

}  // namespace
}  // namespace orbalune::testing
