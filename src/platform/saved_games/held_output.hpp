#pragma once

#include <array>
#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace orbalune {

// The lines of one terminal screen: as much of its past as a resumed game shows.
inline constexpr std::size_t kScreenLines = 24;

// The screen as a snapshot keeps it: the last screenful up to the last key taken (shown after its
// prompt), then everything printed since, from `sinceKey` on. A game resumed after that key
// shows all that follows it, however long.
struct ScreenAtKey {
    std::string text;
    std::size_t sinceKey = 0;
};
// The screen at the end of `text`, whose last key's echo ends at `keyEnd`.
ScreenAtKey screenAtKey(std::string_view text, std::size_t keyEnd);

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
    // The screen held now, before any mark: where a game played on from here starts.
    [[nodiscard]] ScreenAtKey lastScreen();
    // Starts from `screen`, as if the game had printed it (a game played on from a snapshot);
    // `caughtUp`: its key was the last to catch up with.
    void prime(const ScreenAtKey& screen, bool caughtUp);
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
    std::size_t keyEnd_ = 0;  // where the last key's echo ends, in the text with the put area
};

}  // namespace orbalune
