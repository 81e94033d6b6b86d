#pragma once

#include <cstddef>
#include <streambuf>
#include <string>

namespace orbalune {

// Passes what is written on to `target`, remembering the line being written: what came since
// the last line end. A terminal's screen can then be mended (the line shown again after the
// shell wrote over it) and ended (a line end only where one is missing).
class TrackedLine : public std::streambuf {
public:
    explicit TrackedLine(std::streambuf& target) : target_(target) {}

    // The line being written; only its end, if it is very long.
    [[nodiscard]] const std::string& line() const { return line_; }
    // Whether nothing has been written since the last line end (or at all).
    [[nodiscard]] bool atLineStart() const { return line_.empty(); }

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override { return target_.pubsync(); }

private:
    void remember(const char* bytes, std::size_t count);

    std::streambuf& target_;
    std::string line_;
};

}  // namespace orbalune
