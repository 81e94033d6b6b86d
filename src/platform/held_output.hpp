#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace orbalune {

// The lines of one terminal screen: as much of its past as a resumed game shows.
inline constexpr std::size_t kScreenLines = 24;

// Holds back what the game prints while a saved game is played again, keeping only what the
// resumed screen can show: the last screenful, and everything printed after the last saved key.
class HeldOutput : public std::streambuf {
public:
    // Shows a replayed key after its prompt, as the terminal echoed it when it was typed.
    void echo(char key);
    // What the game prints from now on came after the last saved key, and is all kept.
    void markCaughtUp();
    // Everything printed since the mark, after as many earlier lines as fill a screen.
    [[nodiscard]] std::string screen() const;
    // Lets go of the held text once it has been shown.
    void release();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    void append(std::string_view text);
    [[nodiscard]] std::size_t lastLinesStart() const;

    std::string text_;
    std::size_t mark_ = std::string::npos;
};

}  // namespace orbalune
