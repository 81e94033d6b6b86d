#include "platform/terminal/shown_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orbalune::testing {
namespace {

// Every byte a terminal would act on, shown as its own echo shows it.
TEST(ShownText, ShowsWhatATerminalWouldActOnInCaretNotation) {
    const std::vector<std::pair<std::string, std::string>> shown = {
        {"seed 42 ~", "seed 42 ~"},
        {"\x1b]0;title\a\x1b[2J", "^[]0;title^G^[[2J"},
        {std::string("\0\r\n\t\x7f", 5), "^@^M^J^I^?"},
        {"\x80\x9b\xe9\xff", "M-^@M-^[M-iM-^?"},
    };
    for (const auto& [bytes, text] : shown) {
        EXPECT_EQ(shownText(bytes), text);
    }
}

// A terminal that speaks UTF-8 shows a name in any alphabet as it is; a control is still a
// control, and bytes that are not UTF-8 still bytes.
TEST(ShownText, ShowsCharactersOfSeveralBytesToATerminalThatSpeaksUtf8) {
    struct Case {
        std::string bytes;
        std::string atUtf8;
        std::string elsewhere;
    };
    const std::vector<Case> cases = {
        {"caf\xc3\xa9.game", "caf\xc3\xa9.game", "cafM-CM-).game"},
        {"\xe2\x82\xac \xf0\x9f\x98\x80", "\xe2\x82\xac \xf0\x9f\x98\x80",
         "M-bM-^BM-, M-pM-^_M-^XM-^@"},
        {"\xc2\x9b"
         "2J",
         "M-BM-^[2J", "M-BM-^[2J"},  // U+009B, a CSI
        {"\xc3(\xe9", "M-C(M-i", "M-C(M-i"},
        {"\x1b[2J\xc3\xa9", "^[[2J\xc3\xa9", "^[[2JM-CM-)"},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(shownText(each.bytes, true), each.atUtf8);
        EXPECT_EQ(shownText(each.bytes, false), each.elsewhere);
    }
}

}  // namespace
}  // namespace orbalune::testing
