#include "platform/terminal/key_sequences.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbalune::testing {
namespace {

TEST(KeySequences, SplitsWhatOnePressSends) {
    struct Case {
        std::string bytes;
        bool utf8;
        bool moreMayCome;
        KeyKind kind;
        std::size_t length;
        char move;
    };
    constexpr KeyKind kByte = KeyKind::Byte;
    constexpr KeyKind kArrow = KeyKind::Arrow;
    constexpr KeyKind kIgnored = KeyKind::Ignored;
    constexpr KeyKind kIncomplete = KeyKind::Incomplete;
    const std::vector<Case> cases = {
        {"v", true, true, kByte, 1, 0},
        // The arrows, in normal and in application mode, and with a modifier.
        {"\x1b[A", true, true, kArrow, 3, 'n'},
        {"\x1b[B", true, true, kArrow, 3, 's'},
        {"\x1bOC", false, true, kArrow, 3, 'e'},
        {"\x1bOD", false, false, kArrow, 3, 'w'},
        {"\x1b[1;5A", true, true, kArrow, 6, 'n'},
        // Home, Delete, F1 (xterm, Linux console), a private mode's report.
        {"\x1b[H", true, true, kIgnored, 3, 0},
        {"\x1bOF", true, true, KeyKind::End, 3, 0},
        {"\x1b[4~", true, true, KeyKind::End, 4, 0},
        {"\x1b[3~e", true, true, kIgnored, 4, 0},
        {"\x1bOP", true, true, kIgnored, 3, 0},
        {"\x1b[[A", true, true, kIgnored, 4, 0},
        {"\x1b[?1;2c", true, true, kIgnored, 7, 0},
        // A lone Escape, and its start of a sequence cut short: keys as typed.
        {"\x1b", true, true, kIncomplete, 0, 0},
        {"\x1b", true, false, kByte, 1, 0},
        {"\x1b[", true, true, kIncomplete, 0, 0},
        {"\x1b[", true, false, kByte, 1, 0},
        {"\x1b[12", true, false, kIgnored, 4, 0},
        {"\x1bv", true, true, kByte, 1, 0},
        {"\x1b[1\x01", true, true, kIgnored, 3, 0},
        {"\x1b[" + std::string(40, '1'), true, true, kIgnored, kLongestSequence, 0},
        // Characters of several bytes at a UTF-8 terminal; bytes anywhere else.
        {"\xc3\xa9", true, true, kIgnored, 2, 0},
        {"\xc3\xa9", false, true, kByte, 1, 0},
        {"\xf0\x9f\x98\x80", true, true, kIgnored, 4, 0},
        {"\xc3", true, true, kIncomplete, 0, 0},
        {"\xc3", true, false, kByte, 1, 0},
        {"\xc3v", true, true, kByte, 1, 0},
        {"\xc0\x80", true, true, kByte, 1, 0},          // overlong
        {"\xed\xa0\x80", true, true, kByte, 1, 0},      // a surrogate
        {"\xf4\x90\x80\x80", true, true, kByte, 1, 0},  // past U+10FFFF
        {"\xa9", true, true, kByte, 1, 0},
    };
    for (const Case& each : cases) {
        const SplitKey key = splitKey(each.bytes, each.utf8, each.moreMayCome);
        const std::string name = ::testing::PrintToString(each.bytes);
        EXPECT_EQ(key.kind, each.kind) << name;
        if (each.kind != kIncomplete) {
            EXPECT_EQ(key.length, each.length) << name;
        }
        EXPECT_EQ(key.move, each.move) << name;
    }
}

}  // namespace
}  // namespace orbalune::testing
