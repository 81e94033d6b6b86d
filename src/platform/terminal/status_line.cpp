#include "platform/terminal/status_line.hpp"

namespace orbalune {

namespace {

// ESC 7 saves the cursor and ESC 8 restores it; ESC D and ESC M go a line down and up (scrolling
// at the edge); ESC [ top ; bottom r sets the scrolling region, and moves the cursor home.
constexpr std::string_view kSaveCursor =
    "\x1b"
    "7";
constexpr std::string_view kRestoreCursor =
    "\x1b"
    "8";
constexpr std::string_view kDownAndUp =
    "\x1b"
    "D"
    "\x1b"
    "M";
constexpr std::string_view kWholeScreenScrolls = "\x1b[r";

}  // namespace

std::string onRow(int row, std::string_view text) {
    // ESC [ row ; 1 H goes to the row's start, and ESC [ 2 K clears it.
    return std::string(kSaveCursor) + "\x1b[" + std::to_string(row) + ";1H\x1b[2K" +
           std::string(text) + std::string(kRestoreCursor);
}

void StatusLine::fit(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    // First off the last row, if the cursor is there (the shell may have left it there, or a
    // smaller window): down a line and up again, the column kept. Elsewhere this goes nowhere.
    std::string bytes = std::string(kDownAndUp) + std::string(kSaveCursor);
    bytes +=
        drawn() ? "\x1b[1;" + std::to_string(rows_ - 1) + "r" : std::string(kWholeScreenScrolls);
    bytes += kRestoreCursor;
    write(bytes);
    draw(shown_);
}

void StatusLine::draw(std::string_view text) {
    shown_ = text;
    if (drawn()) {
        // One column short of the width: a line that fills its row would leave the cursor
        // waiting to wrap on some terminals.
        write(onRow(rows_, text.substr(0, columns_ > 1 ? static_cast<std::size_t>(columns_ - 1)
                                                       : text.size())));
    }
}

void StatusLine::close() {
    if (drawn()) {
        write(kLeaving);
    }
    rows_ = 0;
}

void StatusLine::write(std::string_view bytes) {
    terminal_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    terminal_.flush();
}

}  // namespace orbalune
