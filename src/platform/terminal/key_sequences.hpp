#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace orbalune {

// What a terminal sends for one press of a key, as the keyboard reader splits it off.
enum class KeyKind {
    Byte,     // one byte, a key as the game knows keys
    Arrow,    // an arrow's escape sequence: `byte` is the letter of its direction
    End,      // the End key's
    Ignored,  // another escape sequence (Home, F1, a mouse report, a terminal's answer to a
              // query), or a character of several bytes
};

struct Key {
    KeyKind kind = KeyKind::Byte;
    char byte = 0;  // the byte, or the direction (n, s, e or w) of an arrow
};

// Splits the bytes a terminal sends into keys, a byte at a time, so that a key is read whole
// however the reads cut it, and in constant memory however long it is.
//
// Escape sequences are ECMA-48's CSI (ESC [ ...) and SS3 (ESC O ...) ones, the Linux console's
// function keys (ESC [ [ A), and the strings a terminal answers queries with (OSC, DCS, APC, PM
// and SOS: ESC ] ... up to ST or BEL). With `utf8`, a well-formed character of several bytes is
// one key too. Bytes that turn out not to be a sequence after all are keys as typed.
class KeySplitter {
public:
    // The most keys one call can give.
    static constexpr std::size_t kMostKeys = 4;
    struct Keys {
        std::array<Key, kMostKeys> keys{};
        std::size_t count = 0;
        // A byte completes at most kMostKeys (a character's three bytes given back, and the
        // byte that ended it); the check keeps a compiler that cannot see it from doubting.
        void add(Key key) {
            if (count < keys.size()) {
                keys[count++] = key;
            }
        }
    };

    explicit KeySplitter(bool utf8) : utf8_(utf8) {}

    // Takes the next byte; the keys it completes.
    Keys take(char byte);
    // No more bytes are coming for a while: the start of a sequence or character taken so far is
    // what was typed (a lone Escape, or Escape and then '['), and becomes keys.
    Keys flush();
    // Whether bytes taken wait for more to make a key.
    [[nodiscard]] bool pending() const { return state_ != State::Ground; }
    // The bytes taken so far are dropped: the key they begin is dropped whole when the rest of it
    // comes (or never does), and the bytes after it make keys as ever.
    void abandon() { abandoned_ = pending(); }

private:
    enum class State {
        Ground,
        Escape,        // after ESC
        Control,       // in a CSI or SS3 sequence, before its final byte
        String,        // in a string, before its terminator
        StringEscape,  // after an ESC in a string
        Character,     // in a character of several bytes
    };

    void takeInEscape(char byte, Keys& keys);
    void takeInGround(char byte, Keys& keys);
    void takeInControl(unsigned char byte, Keys& keys);
    void takeInCharacter(unsigned char byte, Keys& keys);
    // Gives back what was taken of a sequence that was not one, as keys of a byte each.
    void giveBack(Keys& keys);
    // Adds the key that what was taken makes, unless it was abandoned.
    void complete(Keys& keys, Key key);

    bool utf8_;
    State state_ = State::Ground;
    bool abandoned_ = false;
    // In a sequence or string: the byte after ESC, and how many came after that. In a CSI or
    // SS3 sequence: whether only digits and semicolons came, and the first (End is ESC [ 4 ~).
    // In a character: how many of its bytes came.
    char introducer_ = 0;
    std::size_t length_ = 0;
    bool plain_ = true;
    char firstParameter_ = 0;
    // In a character: its bytes so far, how many it has, and the range of its second.
    std::array<char, 4> character_{};
    std::size_t characterLength_ = 0;
    unsigned char secondLow_ = 0x80;
    unsigned char secondHigh_ = 0xbf;
};

// The length of the well-formed UTF-8 character of several bytes that `bytes` start with, by the
// rule the keyboard reads them with; 0 if they start with none.
std::size_t characterLength(std::string_view bytes);

}  // namespace orbalune
