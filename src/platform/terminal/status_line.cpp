#include "platform/terminal/status_line.hpp"

#include <algorithm>

namespace orbalune {

namespace {

// ESC 7 saves the cursor, ESC 8 restores it; ESC [ top ; bottom r sets the scrolling region
// (and moves the cursor home, hence the saving); ESC [ row ; 1 H goes to a row's start, and
// ESC [ 2 K clears it.
std::string rowStart(int row) {
    return "\x1b[" + std::to_string(row) + ";1H";
}

}  // namespace

void StatusLine::fit(int rows, int columns) {
    requestedRows_ = rows;
    rows_ = rows >= 2 ? rows : 0;
    columns_ = columns;
    // First off the last row, if the cursor is there (the shell may have left it there, or a
    // smaller window): down a line, scrolling if need be, and up again (ESC D, ESC M: the
    // column stays). Elsewhere this goes nowhere.
    std::string bytes =
        "\x1b"
        "D\x1b"
        "M\x1b"
        "7";
    bytes += rows_ > 0 ? "\x1b[1;" + std::to_string(rows_ - 1) + "r" : std::string("\x1b[r");
    bytes +=
        "\x1b"
        "8";
    write(bytes);
    draw(shown_);
}

void StatusLine::draw(std::string_view text) {
    shown_ = text;
    if (rows_ == 0) {
        return;
    }
    // One column short of the width: a line that fills its row would leave the cursor waiting
    // to wrap on some terminals.
    const std::size_t width = columns_ > 1 ? static_cast<std::size_t>(columns_ - 1) : text.size();
    write(
        "\x1b"
        "7" +
        rowStart(rows_) + "\x1b[2K" + std::string(text.substr(0, width)) +
        "\x1b"
        "8");
}

void StatusLine::close() {
    if (rows_ > 0) {
        write(kLeaving);
        rows_ = 0;
    }
}

void StatusLine::write(std::string_view bytes) {
    terminal_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    terminal_.flush();
}

}  // namespace orbalune
