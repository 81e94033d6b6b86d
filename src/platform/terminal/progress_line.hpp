#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>

namespace orbalune {

// The progress of long work, on a terminal's last line: drawn there and cleared away with the
// cursor saved and restored around it, so that the text the program writes is never touched.
// Shown only once the work has taken long enough to be noticed, and redrawn a few times a
// second at most.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    // `rows` and `columns`: the terminal's size (0 where it does not say), whose last line it
    // uses, a line's width at most, so that no line wraps; the work started at `started`.
    ProgressLine(std::ostream& terminal, int rows, int columns, Clock::time_point started);

    static constexpr std::chrono::milliseconds kUnnoticed{500};
    static constexpr std::chrono::milliseconds kRedrawn{100};

    // `done` of `total` keys so far, at `now`.
    void update(std::size_t done, std::size_t total, Clock::time_point now);
    // Takes the line away, if it is shown.
    void clear();

private:
    void draw(const char* text);

    std::ostream& terminal_;
    int rows_;
    int columns_;
    Clock::time_point started_;
    Clock::time_point drawn_{};
    bool shown_ = false;
};

}  // namespace orbalune
