#include "platform/terminal/progress_line.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace orbalune::testing {
namespace {

using std::chrono::milliseconds;

// Unnoticed for half a second, then on the last line a few times a second, and cleared: always
// between a saved and a restored cursor, so that the text around it is left as it is. A terminal
// of no known size shows nothing.
TEST(ProgressLine, ShowsLongWorkOnTheLastLineAndClearsIt) {
    for (const int rows : {24, 0}) {
        std::ostringstream terminal;
        const ProgressLine::Clock::time_point start{};
        ProgressLine progress(terminal, rows, 80, start);
        progress.update(1000, 4000, start + milliseconds(400));
        progress.clear();
        EXPECT_EQ(terminal.str(), "") << "work this short shows nothing";
        progress.update(1000, 4000, start + milliseconds(600));
        progress.update(2000, 4000, start + milliseconds(650));
        progress.update(3000, 4000, start + milliseconds(701));
        progress.clear();
        progress.clear();
        EXPECT_EQ(terminal.str(), rows == 0
                                      ? ""
                                      : "\x1b"
                                        "7\x1b[24;1H\x1b[2Kcatching up: key 1000 of 4000 (25%)\x1b"
                                        "8"
                                        "\x1b"
                                        "7\x1b[24;1H\x1b[2Kcatching up: key 3000 of 4000 (75%)\x1b"
                                        "8"
                                        "\x1b"
                                        "7\x1b[24;1H\x1b[2K\x1b"
                                        "8");
    }
}

// A narrow terminal gets as much as its width holds: a line that wrapped would leave its start
// behind at every redrawing.
TEST(ProgressLine, IsCutToTheTerminalsWidth) {
    std::ostringstream terminal;
    const ProgressLine::Clock::time_point start{};
    ProgressLine progress(terminal, 10, 24, start);
    progress.update(1000, 4000, start + milliseconds(600));
    EXPECT_EQ(terminal.str(),
              "\x1b"
              "7\x1b[10;1H\x1b[2Kcatching up: key 1000 of\x1b"
              "8");
}

}  // namespace
}  // namespace orbalune::testing
