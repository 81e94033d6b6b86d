#include "platform/terminal_keys.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <istream>
#include <string>

namespace orbalune::testing {
namespace {

constexpr int kCtrlD = 4;

// A pipe standing in for a terminal: what is written to it is what the player typed.
struct TypedKeys {
    std::array<int, 2> ends{};
    TypedKeys() { EXPECT_EQ(::pipe(ends.data()), 0); }
    TypedKeys(const TypedKeys&) = delete;
    TypedKeys& operator=(const TypedKeys&) = delete;
    ~TypedKeys() {
        ::close(ends[0]);
        ::close(ends[1]);
    }
    void type(const std::string& keys) const {
        EXPECT_EQ(::write(ends[1], keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
};

std::string takeAll(std::streambuf& keys) {
    std::string taken;
    for (int key = keys.sbumpc(); key != std::char_traits<char>::eof(); key = keys.sbumpc()) {
        taken += static_cast<char>(key);
    }
    return taken;
}

// Ctrl-D ends the input even in the middle of a burst: nothing typed after it is taken.
TEST(TerminalKeys, TheEndKeyEndsTheInputWhereverItComes) {
    TypedKeys typed;
    TerminalKeys keys(typed.ends[0], kCtrlD);
    typed.type(
        "ab\x04"
        "cd");
    EXPECT_EQ(takeAll(keys), "ab");
    EXPECT_EQ(keys.sgetc(), std::char_traits<char>::eof()) << "and stays ended";
}

TEST(TerminalKeys, DropsWhatWasTypedButNotTaken) {
    TypedKeys typed;
    TerminalKeys keys(typed.ends[0], TerminalKeys::kNoEndKey);
    typed.type("ab");
    EXPECT_EQ(keys.sbumpc(), 'a');
    keys.discardTyped();
    typed.type("c\x04");
    ::close(typed.ends[1]);
    typed.ends[1] = -1;
    EXPECT_EQ(takeAll(keys), "c\x04") << "without an end key, Ctrl-D is a key like any other";
}

}  // namespace
}  // namespace orbalune::testing
