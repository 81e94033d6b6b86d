#include "platform/terminal/progress_line.hpp"

#include <cstdio>
#include <string_view>

#include "platform/terminal/status_line.hpp"

namespace orbalune {

ProgressLine::ProgressLine(std::ostream& terminal, int rows, int columns, Clock::time_point started)
    : terminal_(terminal), rows_(rows), columns_(columns), started_(started) {}

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
    std::string_view line(text);
    if (columns_ > 0) {
        line = line.substr(0, static_cast<std::size_t>(columns_));
    }
    terminal_ << onRow(rows_, line) << std::flush;
}

}  // namespace orbalune
