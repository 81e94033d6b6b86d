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

}  // namespace
}  // namespace orbalune::testing
