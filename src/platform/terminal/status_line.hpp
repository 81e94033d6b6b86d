#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace orbalune {

// A line of the program's own on a terminal's last row, below the text it writes. The rows
// above scroll by themselves (a scrolling region), so that the text never runs into the line,
// and the cursor is saved and restored around every drawing (ESC 7, ESC 8), so that the text
// goes on where it was.
class StatusLine {
public:
    // `terminal`: the terminal's own stream, not one that looks at what is written.
    explicit StatusLine(std::ostream& terminal) : terminal_(terminal) {}
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;
    ~StatusLine() { close(); }

    // The whole screen scrolls again and the last row is blank; safe in a signal handler, as
    // it names no row.
    static constexpr std::string_view kLeaving =
        "\x1b"
        "7\x1b[r\x1b[999;1H\x1b[2K\x1b"
        "8";

    // Takes the last row of a terminal of this size, again after the size changed or the shell
    // had the screen: nothing is drawn on a terminal of fewer than two rows, or of unknown size.
    void fit(int rows, int columns);
    // Whether it was last fitted to a terminal of this size.
    [[nodiscard]] bool fitted(int rows, int columns) const {
        return rows == rows_ && columns == columns_;
    }
    // The width it was last fitted to.
    [[nodiscard]] int columns() const { return columns_; }
    // Shows `text` there, cut to the width.
    void draw(std::string_view text);
    // Gives the row back.
    void close();

private:
    [[nodiscard]] bool drawn() const { return rows_ >= 2; }
    void write(std::string_view bytes);

    std::ostream& terminal_;
    int rows_ = 0;
    int columns_ = 0;
    std::string shown_;
};

// `text` on row `row` (the first is 1), the row cleared first, the cursor saved before and
// restored after, so that whatever the program writes goes on where it was.
std::string onRow(int row, std::string_view text);

}  // namespace orbalune
