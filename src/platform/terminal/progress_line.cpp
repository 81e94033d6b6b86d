#include "platform/terminal/progress_line.hpp"

#include <cstdio>

#include "platform/terminal/status_line.hpp"

namespace orbalune {

ProgressLine::ProgressLine(std::ostream& terminal, int rows, Clock::time_point started)
    : terminal_(terminal), rows_(rows), started_(started) {}

void ProgressLine::update(std::size_t done, std::size_t total, Clock::time_point now) {
    if (rows_ <= 0 || total == 0 || now - started_ < kUnnoticed ||
        (shown_ && now - drawn_ < kRedrawn)) {
        return;
    }
    drawn_ = now;
    char text[96];
    std::snprintf(text, sizeof text, "catching up: key %zu of %zu (%zu%%)", done, total,
                  done * 100 / total);
    draw(text);
    shown_ = true;
}

void ProgressLine::clear() {
    if (shown_) {
        draw("");
        shown_ = false;
    }
}

void ProgressLine::draw(const char* text) {
    terminal_ << onRow(rows_, text) << std::flush;
}

}  // namespace orbalune
