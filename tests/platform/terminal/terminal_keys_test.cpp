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

// Keys typed while the game waits are dropped whole: a key begun in the wait and ended after it
// is dropped with its end, which is never read as letters (an Up arrow as "A", Attack). Keys
// typed after the wait are taken, even after a lone Escape dropped in it. `taken` is what the
// game took before the wait (the rest of that read waits in the reader's buffer).
TEST(TerminalKeys, DroppingKeysDropsAKeyThatStraddlesTheWait) {
    struct Case {
        std::string typed;
        std::string taken;
        std::string after;
        std::string keys;
    };
    const std::vector<Case> cases = {
        {"\x1b[", "", "Av", "v"},
        {"v\x1b[", "v", "Ae", "e"},
        {"\x1bO", "", "Cv", "v"},
        {"\xc3", "", "\xa9v", "v"},
        {"\x1b]11;rgb", "", ":0/0/0\x07v", "v"},
        {"\x1b", "", "xe", "xe"},
        {"ab", "", "c", "c"},
    };
    for (const Case& each : cases) {
        std::array<int, 2> pipe{};
        ASSERT_EQ(::pipe(pipe.data()), 0);
        ASSERT_EQ(::write(pipe[1], each.typed.data(), each.typed.size()),
                  static_cast<ssize_t>(each.typed.size()));
        TerminalKeys keys(pipe[0], TerminalKeys::kNoEndKey, true);
        keys.arrowsMove(true);
        for (const char key : each.taken) {
            EXPECT_EQ(keys.sbumpc(), key);
        }
        keys.discardTyped();
        ASSERT_EQ(::write(pipe[1], each.after.data(), each.after.size()),
                  static_cast<ssize_t>(each.after.size()));
        ::close(pipe[1]);
        std::string taken;
        for (int key = keys.sbumpc(); key != std::char_traits<char>::eof(); key = keys.sbumpc()) {
            taken += static_cast<char>(key);
        }
        EXPECT_EQ(taken, each.keys) << ::testing::PrintToString(each.typed + "|" + each.after);
        ::close(pipe[0]);
    }
}

// A key cut short by the end of the input is no key (a hang-up, or Ctrl-D, in the middle of an
// arrow's sequence); a NUL is never one (Linux makes one of a Ctrl-D typed ahead at the shell).
TEST(TerminalKeys, NeitherAKeyCutShortNorANulIsAKey) {
    using std::string_literals::operator""s;
    for (const std::string& typed : {"v\0e\x1b["s, "v\0e\x1b[\x04"s, "v\0e\xc3"s}) {
        std::array<int, 2> pipe{};
        ASSERT_EQ(::pipe(pipe.data()), 0);
        ASSERT_EQ(::write(pipe[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
        ::close(pipe[1]);
        TerminalKeys keys(pipe[0], '\x04', true);
        std::string taken;
        for (int key = keys.sbumpc(); key != std::char_traits<char>::eof(); key = keys.sbumpc()) {
            taken += static_cast<char>(key);
        }
        EXPECT_EQ(taken, "ve") << ::testing::PrintToString(typed);
        ::close(pipe[0]);
    }
}

}  // namespace
}  // namespace orbalune::testing
