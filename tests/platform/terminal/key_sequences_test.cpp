#include "platform/terminal/key_sequences.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbalune::testing {
namespace {

// The keys `bytes` make, written as text: a byte as itself, an arrow as <n>, End as <End>, any
// other sequence or character as <->. `flushed`: whether no more bytes came after them.
std::string keysOf(const std::string& bytes, bool utf8, bool flushed = true) {
    KeySplitter splitter(utf8);
    std::string keys;
    const auto write = [&keys](const KeySplitter::Keys& some) {
        for (std::size_t i = 0; i < some.count; ++i) {
            const Key& key = some.keys[i];
            switch (key.kind) {
                case KeyKind::Byte:
                    keys += key.byte;
                    break;
                case KeyKind::Arrow:
                    keys += std::string("<") + key.byte + ">";
                    break;
                case KeyKind::End:
                    keys += "<End>";
                    break;
                case KeyKind::Ignored:
                    keys += "<->";
                    break;
            }
        }
    };
    for (const char byte : bytes) {
        write(splitter.take(byte));
    }
    if (flushed) {
        write(splitter.flush());
    } else if (splitter.pending()) {
        keys += "...";
    }
    return keys;
}

TEST(KeySequences, SplitsWhatEachPressSends) {
    struct Case {
        std::string bytes;
        bool utf8;
        std::string keys;
    };
    const std::string longParameters(10000, '1');
    const std::vector<Case> cases = {
        {"ve", true, "ve"},
        // The arrows, in normal and in application mode, with a modifier, and among keys.
        {"\x1b[A\x1b[B\x1bOC\x1bOD", false, "<n><s><e><w>"},
        {"v\x1b[1;5Ae", true, "v<n>e"},
        // Home, Delete, F1 (xterm, Linux console), a private mode's report, a mouse report,
        // a bracketed paste's markers; End in its four forms.
        {"\x1b[H\x1b[3~\x1bOP\x1b[[A\x1b[?1;2c\x1b[<0;12;5M", true, "<-><-><-><-><-><->"},
        {"\x1b[200~ne\x1b[201~s", true, "<->ne<->s"},
        {"\x1b[F\x1bOF\x1b[4~\x1b[8~\x1b[14~", true, "<End><End><End><End><->"},
        // A sequence of any length is dropped whole, whatever its final byte.
        {"\x1b[" + std::string(40, '1') + "~e", true, "<->e"},
        {"\x1b[" + longParameters + "An", true, "<->n"},
        // The strings terminals answer queries with, ended by ST or BEL, or by another sequence.
        {"\x1b]11;rgb:0000/0000/0000\x1b\\n", true, "<->n"},
        {"\x1bP1$r0m\x1b\\\x1b_hello\x07\x1b^pm\x1b\\e", true, "<-><-><->e"},
        {"\x1b]0;" + longParameters + "\x07s", true, "<->s"},
        {"\x1b]0;title\x1b[Av", true, "<-><n>v"},
        // A lone Escape and a bare start of a sequence are keys as typed, when nothing follows
        // them in time; a longer start is dropped.
        {"\x1b", true, "\x1b"},
        {"\x1b[", true, "\x1b["},
        {"\x1bO", true, "\x1bO"},
        {"\x1b]", true, "\x1b]"},
        {"\x1b[12", true, "<->"},
        {"\x1bv", true, "\x1bv"},
        {"\x1b\x1b[A", true, "\x1b<n>"},
        {"\x1b[\x01", true, "\x1b[\x01"},
        {"\x1b[1\x01", true, "<->\x01"},
        // Characters of several bytes at a UTF-8 terminal, bytes anywhere else; what is not
        // a character is its bytes.
        {"\xc3\xa9n", true, "<->n"},
        {"\xc3\xa9", false, "\xc3\xa9"},
        {"\xf0\x9f\x98\x80s", true, "<->s"},
        {"\xc3", true, "\xc3"},
        {"\xc3v", true, "\xc3v"},
        {"\xe2\x82v", true, "\xe2\x82v"},
        {"\xc0\x80", true, "\xc0\x80"},                  // overlong
        {"\xed\xa0\x80", true, "\xed\xa0\x80"},          // a surrogate
        {"\xf4\x90\x80\x80", true, "\xf4\x90\x80\x80"},  // past U+10FFFF
        {"\xa9", true, "\xa9"},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(keysOf(each.bytes, each.utf8), each.keys)
            << ::testing::PrintToString(each.bytes.substr(0, 40));
    }
}

TEST(KeySequences, AStartWaitsForTheRest) {
    for (const std::string start : {"\x1b", "\x1b[", "\x1b[1;5", "\xe2\x82", "\x1b]0;t\x1b"}) {
        EXPECT_EQ(keysOf(start, true, false), "...") << ::testing::PrintToString(start);
    }
}

}  // namespace
}  // namespace orbalune::testing
