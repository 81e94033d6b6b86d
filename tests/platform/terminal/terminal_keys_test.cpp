#include "platform/terminal/terminal_keys.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <string>

namespace orbalune::testing {
namespace {

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

}  // namespace
}  // namespace orbalune::testing
