#include "platform/terminal/terminal_keys.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <sstream>
#include <string>

#include "platform/terminal/keys.hpp"

namespace orbalune::testing {
namespace {

// Ctrl-D ends the input even in the middle of a burst: nothing typed after it is taken. A pipe
// stands in for the terminal.
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

}  // namespace
}  // namespace orbalune::testing
