#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <streambuf>

#include "platform/terminal/key_sequences.hpp"
#include "platform/terminal/keyboard_device.hpp"

namespace orbalune {

// One press of a key, for a program that is steered by keys rather than answered with them.
struct PressedKey {
    enum class Kind {
        None,   // no key came in time (or one that means nothing here, like F1)
        Byte,   // a key of one byte
        Arrow,  // `byte` is the letter of its direction: n, s, e or w
        End,    // the End key
        Ended,  // the terminal hung up
    };
    Kind kind = Kind::None;
    char byte = 0;
};

// The keys of a terminal in single-key mode, each one as soon as it is pressed. The terminal's
// end-of-file key (Ctrl-D), which such a mode leaves to the program, ends the input as it does
// in line mode.
//
// A key is what one press sends: an escape sequence (an arrow, Home, a function key) or a
// character of several bytes is read whole, however the terminal's reads cut a burst of keys
// (see KeySplitter). The arrows give the letters of their directions while arrows move
// (arrowsMove); every other sequence and character is dropped here, since no menu offers one.
// The stream hands out one key at a time, split off when it is asked for. A terminal left
// non-blocking by another program is waited on all the same.
class TerminalKeys : public std::streambuf {
public:
    // `endKey`: the byte that ends input, or kNoEndKey. `utf8`: whether the terminal sends
    // UTF-8. `continuedFd`: readable when the program has been continued after a stop (-1:
    // never), so that the screen can be mended while it waits for a key (whenContinued).
    TerminalKeys(int fd, int endKey, bool utf8 = false, int continuedFd = -1);

    static constexpr int kNoEndKey = -1;
    // How long the rest of an escape sequence may take after its last byte: a terminal sends a
    // sequence in one write, which arrives whole even over a slow network, while no one types
    // Escape and then '[' this fast; a lone Escape is not noticeably delayed.
    static constexpr std::chrono::milliseconds kSequenceWait{50};
    // Keys dropped are read through so that a key straddling the drop is dropped whole; past this
    // many reads of them at once, the rest are dropped unread.
    static constexpr std::size_t kMostReadsDropped = 64;

    // Drops every key typed and not taken yet, in this buffer and in the terminal's: keys pressed
    // while the game waited must not act on screens the player has not seen.
    void discardTyped();
    // Whether the arrows give the letters of their directions (n, s, e, w) from now on.
    void arrowsMove(bool move) { arrowsMove_ = move; }
    // What to do when the program has been continued after a stop, at its next wait for a key or
    // at checkContinued.
    void whenContinued(std::function<void()> mend) { mend_ = std::move(mend); }
    // Mends the screen now if the program has been continued since it was last mended.
    void checkContinued();
    // The terminal's height in lines and width in columns; 0 where it does not say.
    using WindowSize = keyboard_device::WindowSize;
    [[nodiscard]] WindowSize windowSize() const;

    // Waits up to `patience` (forever if negative) for the next key, read whole. Returns
    // Kind::None early, so that the caller can look, when the program is continued after a stop
    // or `alsoWake` (if not -1) becomes readable. Not to be mixed with reading the stream.
    PressedKey pressKey(std::chrono::milliseconds patience, int alsoWake = -1);

protected:
    int_type underflow() override;
    // 1 when a key can be taken without waiting for the player, so that the game knows when it
    // is about to wait.
    std::streamsize showmanyc() override;

private:
    void mend();
    // Reads what the terminal has into the empty buffer, waiting up to `patience` (forever if
    // negative); false if nothing came in time, the input ended, or `alsoWake` woke it.
    bool readMore(std::chrono::milliseconds patience, int alsoWake = -1);
    // The next key, waiting up to `patience` for its first byte; none if none came in time or
    // the input ended.
    std::optional<Key> nextKey(std::chrono::milliseconds patience, int alsoWake = -1);
    // Puts the next key the game can take into the get area, waiting up to `patience`; false if
    // none came in time or the input ended.
    bool prepareKey(std::chrono::milliseconds patience);

    int fd_;
    int endKey_;
    bool utf8_;
    int continuedFd_;
    bool arrowsMove_ = false;
    std::function<void()> mend_;
    bool ended_ = false;
    bool endPending_ = false;  // the end key follows what the buffer holds
    // A burst of keys is read at once, into a buffer that a long sequence passes through in
    // pieces; the keys its bytes make so far; the one key in the get area.
    std::array<char, 64> buffer_{};
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    KeySplitter splitter_;
    KeySplitter::Keys split_;
    std::size_t splitTaken_ = 0;
    char key_ = 0;
};

}  // namespace orbalune
