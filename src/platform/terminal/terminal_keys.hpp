#pragma once

#include <array>
#include <streambuf>

namespace orbalune {

// The keys of a terminal in single-key mode, each one as soon as it is pressed. The terminal's
// end-of-file key (Ctrl-D), which such a mode leaves to the program, ends the input as it does
// in line mode.
class TerminalKeys : public std::streambuf {
public:
    // `endKey`: the byte that ends input, or kNoEndKey.
    TerminalKeys(int fd, int endKey);

    static constexpr int kNoEndKey = -1;

    // Drops every key typed and not taken yet, in this buffer and in the terminal's: keys pressed
    // while the game waited must not act on screens the player has not seen.
    void discardTyped();

protected:
    int_type underflow() override;
    std::streamsize showmanyc() override;

private:
    int fd_;
    int endKey_;
    bool ended_ = false;
    bool endPending_ = false;  // the end key follows what the buffer holds
    // A burst of keys is read at once; a small buffer is plenty for what fingers type.
    std::array<char, 64> buffer_{};
};

}  // namespace orbalune
