#include "platform/terminal/terminal_locale.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace orbalune::testing {
namespace {

// Whether keys are read as UTF-8, by the locale a player names, installed on this machine or not
// (an ssh player's is sent from home, and a server has few).
TEST(TerminalLocale, AUtf8LocaleIsOneWhetherInstalledOrNot) {
    struct Case {
        std::string locale;
        bool utf8;
    };
    const std::vector<Case> cases = {
        {"C.UTF-8", true},           {"xx_YY.UTF-8", true}, {"xx_YY.utf8@euro", true},
        {"xx_YY.ISO-8859-1", false}, {"xx_YY", false},      {"C", false},
    };
    const char* const saved = std::getenv("LC_ALL");
    const std::string kept = saved != nullptr ? saved : "";
    for (const Case& each : cases) {
        ::setenv("LC_ALL", each.locale.c_str(), 1);
        EXPECT_EQ(localeSpeaksUtf8(), each.utf8) << each.locale;
    }
    if (saved != nullptr) {
        ::setenv("LC_ALL", kept.c_str(), 1);
    } else {
        ::unsetenv("LC_ALL");
    }
}

}  // namespace
}  // namespace orbalune::testing
