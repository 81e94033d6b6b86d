#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace orbalune {

// The two recording formats a watched game can be written in.
enum class RecordingFormat {
    Asciicast,  // asciicast v2: a JSON header line, then one JSON array a frame
    Ttyrec,     // ttyrec: each frame a 12-byte header (seconds, microseconds, length), then bytes
};

// What a terminal received while a game was watched, cut into frames at each moment time passed:
// the bytes written since the last one, with line ends as a terminal receives them (CR LF).
class FrameCutter : public std::streambuf {
public:
    using Frame = std::function<void(std::chrono::microseconds at, std::string_view bytes)>;

    explicit FrameCutter(Frame frame) : frame_(std::move(frame)) {}

    // Time passes: what was written is a frame at the time it was written.
    void pass(std::chrono::microseconds time);
    // What was written after the last time passed.
    void finish() { pass(std::chrono::microseconds::zero()); }

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;

private:
    Frame frame_;
    std::chrono::microseconds now_{0};
    std::string pending_;
};

// `bytes` as a JSON string, quotes included, valid UTF-8 whatever they hold: a well-formed UTF-8
// character as it is, control characters, quotes and backslashes escaped, and any other byte as
// U+FFFD, the replacement character, as a UTF-8 terminal shows a byte it cannot read.
std::string jsonString(std::string_view bytes);

// How many columns the longest line of `text` takes, its line ends as written by the game.
class LongestLine : public std::streambuf {
public:
    [[nodiscard]] std::size_t columns() const { return longest_; }

protected:
    int_type overflow(int_type byte) override;

private:
    std::size_t longest_ = 0;
    std::size_t current_ = 0;
};

// Writes a recording's frames to `out`, each as its format says; an asciicast begins with its
// header, for a terminal `width` by `height` and titled `title`.
class RecordingWriter {
public:
    RecordingWriter(std::ostream& out, RecordingFormat format, std::size_t width,
                    std::size_t height, std::string_view title);

    void frame(std::chrono::microseconds at, std::string_view bytes);

private:
    std::ostream& out_;
    RecordingFormat format_;
};

}  // namespace orbalune
