#include "platform/terminal/terminal_keys.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "platform/terminal/keys.hpp"

namespace orbalune::testing {
namespace {

// A saved game leaves out exactly the keys the game skips: for every byte, in any locale.
TEST(TerminalKeys, BlanksAreTheBytesTheGameSkips) {
    for (int byte = 0; byte < 256; ++byte) {
        const char key = static_cast<char>(byte);
        std::istringstream typed(std::string(1, key) + "x");
        char taken = 0;
        typed >> taken;
        EXPECT_EQ(isBlankKey(key), taken != key) << "byte " << byte;
    }
}

// Ctrl-D ends the input even in the middle of a burst: nothing typed after it is taken. A pipe
// stands in for the terminal.
TEST(TerminalKeys, TheEndKeyEndsTheInputWhereverItComes) {
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const std::string typed =
        "ab\x04"
        "cd";
    ASSERT_EQ(::write(pipe[1], typed.data(), typed.size()), 5);
    TerminalKeys keys(pipe[0], '\x04');
    std::string taken;
    for (int key = keys.sbumpc(); key != std::char_traits<char>::eof(); key = keys.sbumpc()) {
        taken += static_cast<char>(key);
    }
    EXPECT_EQ(taken, "ab");
    EXPECT_EQ(keys.sgetc(), std::char_traits<char>::eof()) << "and stays ended";
    ::close(pipe[0]);
    ::close(pipe[1]);
}

// Every key of a burst is split off whole, as the first is: players over ssh get their keys
// in bursts, and a sequence the reader cuts must not become letters that act.
TEST(TerminalKeys, SplitsEveryKeyOfABurst) {
    struct Case {
        std::string burst;
        bool arrowsMove;
        std::string keys;
    };
    const std::vector<Case> cases = {
        {"ev\x1b[A", true, "evn"},
        {"ev\x1bOD", true, "evw"},
        {"v\x1b[D", false, "v"},
        {"v\xc3\xa9n", false, "vn"},
        {"v\x1b[201~\x1b[<0;3;4Mn", false, "vn"},
        {"v\x1b[" + std::string(10000, '1') + "An", true, "vn"},
        {"v\x1b]11;rgb:ffff/ffff/ffff\x07n", false, "vn"},
    };
    for (const Case& each : cases) {
        std::array<int, 2> pipe{};
        ASSERT_EQ(::pipe(pipe.data()), 0);
        ASSERT_EQ(::write(pipe[1], each.burst.data(), each.burst.size()),
                  static_cast<ssize_t>(each.burst.size()));
        ::close(pipe[1]);
        TerminalKeys keys(pipe[0], TerminalKeys::kNoEndKey, true);
        keys.arrowsMove(each.arrowsMove);
        std::string taken;
        for (int key = keys.sbumpc(); key != std::char_traits<char>::eof(); key = keys.sbumpc()) {
            taken += static_cast<char>(key);
        }
        EXPECT_EQ(taken, each.keys) << ::testing::PrintToString(each.burst.substr(0, 20));
        ::close(pipe[0]);
    }
}

// A key that is dropped is not one the game could take without waiting: its saved keys are made
// durable before it waits for the next.
TEST(TerminalKeys, ADroppedSequenceIsNotAKeyToTake) {
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const std::string typed = "v\x1b[H";
    ASSERT_EQ(::write(pipe[1], typed.data(), typed.size()), 4);
    TerminalKeys keys(pipe[0], TerminalKeys::kNoEndKey);
    EXPECT_EQ(keys.sbumpc(), 'v');
    EXPECT_EQ(keys.in_avail(), 0);
    ASSERT_EQ(::write(pipe[1], "e", 1), 1);
    EXPECT_EQ(keys.in_avail(), 1);
    EXPECT_EQ(keys.sbumpc(), 'e');
    ::close(pipe[0]);
    ::close(pipe[1]);
}

}  // namespace
}  // namespace orbalune::testing
