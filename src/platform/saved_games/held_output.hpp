#pragma once

#include <array>
#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace orbalune {

// The lines of one terminal screen: as much of its past as a resumed game shows.
inline constexpr std::size_t kScreenLines = 24;

// Where the last kScreenLines lines of `text` begin, the last one being the prompt that has no
// line end: the screenful a terminal shows of it.
std::size_t lastLinesStart(std::string_view text);

// Holds back what the game prints while a saved game is played again, keeping only what the
// resumed screen can show: the last screenful, and everything printed after the last saved key.
class HeldOutput : public std::streambuf {
public:
    HeldOutput() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

    // Shows a replayed key after its prompt, as the terminal showed it when it was typed.
    void echo(char key);
    // What the game prints from now on came after the last saved key, and is all kept.
    void markCaughtUp();
    // Everything printed since the mark, after as many earlier lines as fill a screen.
    [[nodiscard]] std::string screen();
    // The screenful held now, before any mark: where a game played on from here starts.
    [[nodiscard]] std::string lastScreen();
    // Starts from `screen`, as if the game had printed it (a game played on from a snapshot).
    void prime(std::string_view screen);
    // Lets go of the held text once it has been shown.
    void release();

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    // Moves what waits in the put area into the held text.
    void drain();

    // The game writes a character at a time (the map): a put area keeps that cheap.
    std::array<char, 4096> buffer_{};
    std::string text_;
    std::size_t mark_ = std::string::npos;
};

}  // namespace orbalune
