#include "platform/terminal/key_sequences.hpp"

#include <utility>

namespace orbalune {

namespace {

constexpr char kEscape = '\x1b';
constexpr char kBell = '\x07';

// The arrows' final bytes and the directions they move in.
constexpr std::array<std::pair<char, char>, 4> kArrows = {
    {{'A', 'n'}, {'B', 's'}, {'C', 'e'}, {'D', 'w'}}};

// An arrow or End sends a few parameters at most (ESC [ 1 ; 5 A: Ctrl and Up); a sequence with
// more is something else, whatever its final byte.
constexpr std::size_t kLongestKeyParameters = 8;

bool within(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

char arrowMove(unsigned char final) {
    for (const auto& [sent, move] : kArrows) {
        if (final == static_cast<unsigned char>(sent)) {
            return move;
        }
    }
    return 0;
}

// The introducers of strings: OSC, DCS, APC, PM and SOS.
bool startsString(char byte) {
    return byte == ']' || byte == 'P' || byte == '_' || byte == '^' || byte == 'X';
}

constexpr Key kIgnored{KeyKind::Ignored, 0};

}  // namespace

KeySplitter::Keys KeySplitter::take(char byte) {
    Keys keys;
    const auto value = static_cast<unsigned char>(byte);
    switch (state_) {
        case State::Ground:
            takeInGround(byte, keys);
            break;
        case State::Escape:
            takeInEscape(byte, keys);
            break;
        case State::Control:
            takeInControl(value, keys);
            break;
        case State::String:
            if (byte == kBell) {
                complete(keys, kIgnored);
                state_ = State::Ground;
            } else if (byte == kEscape) {
                state_ = State::StringEscape;
            } else {
                ++length_;
            }
            break;
        case State::StringEscape:
            // ST ends the string; any other sequence ends it too, and begins itself.
            complete(keys, kIgnored);
            if (byte == '\\') {
                state_ = State::Ground;
            } else {
                takeInEscape(byte, keys);
            }
            break;
        case State::Character:
            takeInCharacter(value, keys);
            break;
    }
    return keys;
}

void KeySplitter::takeInEscape(char byte, Keys& keys) {
    introducer_ = byte;
    length_ = 0;
    if (byte == '[' || byte == 'O') {
        state_ = State::Control;
        plain_ = true;
        firstParameter_ = 0;
    } else if (startsString(byte)) {
        state_ = State::String;
    } else {
        complete(keys, Key{KeyKind::Byte, kEscape});
        state_ = State::Ground;
        takeInGround(byte, keys);
    }
}

void KeySplitter::takeInGround(char byte, Keys& keys) {
    const auto lead = static_cast<unsigned char>(byte);
    if (byte == kEscape) {
        state_ = State::Escape;
        return;
    }
    // A lead byte says how many bytes its character has, and what the second may be: no
    // overlong forms, no surrogates, nothing past U+10FFFF.
    characterLength_ = 0;
    secondLow_ = 0x80;
    secondHigh_ = 0xbf;
    if (utf8_ && within(lead, 0xc2, 0xdf)) {
        characterLength_ = 2;
    } else if (utf8_ && within(lead, 0xe0, 0xef)) {
        characterLength_ = 3;
        secondLow_ = lead == 0xe0 ? 0xa0 : 0x80;
        secondHigh_ = lead == 0xed ? 0x9f : 0xbf;
    } else if (utf8_ && within(lead, 0xf0, 0xf4)) {
        characterLength_ = 4;
        secondLow_ = lead == 0xf0 ? 0x90 : 0x80;
        secondHigh_ = lead == 0xf4 ? 0x8f : 0xbf;
    }
    if (characterLength_ == 0) {
        keys.add(Key{KeyKind::Byte, byte});
        return;
    }
    state_ = State::Character;
    character_[0] = byte;
    length_ = 1;
}

void KeySplitter::takeInControl(unsigned char byte, Keys& keys) {
    const bool csi = introducer_ == '[';
    if (within(byte, 0x40, 0x7e) && !(csi && length_ == 0 && byte == '[')) {
        const bool plain = plain_ && length_ <= kLongestKeyParameters;
        Key key = kIgnored;
        if (plain && arrowMove(byte) != 0) {
            key = Key{KeyKind::Arrow, arrowMove(byte)};
        } else if (plain && ((byte == 'F' && length_ == 0) ||
                             (byte == '~' && length_ == 1 &&
                              (firstParameter_ == '4' || firstParameter_ == '8')))) {
            key = Key{KeyKind::End, 0};  // xterm's, the Linux console's and VT220s', rxvt's
        }
        complete(keys, key);
        state_ = State::Ground;
        return;
    }
    if (byte == '[' || (csi && within(byte, 0x20, 0x2f))) {
        plain_ = false;  // the Linux console's F1 to F5 (ESC [ [ A to E), or an intermediate
    } else if (within(byte, 0x30, 0x3f)) {
        plain_ = plain_ && (within(byte, '0', '9') || byte == ';');
        if (length_ == 0) {
            firstParameter_ = static_cast<char>(byte);
        }
    } else {
        // Not a sequence after all: a bare start is keys as typed, a longer one is dropped; the
        // byte that ended it is a key of its own.
        if (length_ == 0) {
            giveBack(keys);
        } else {
            complete(keys, kIgnored);
        }
        state_ = State::Ground;
        takeInGround(static_cast<char>(byte), keys);
        return;
    }
    ++length_;
}

void KeySplitter::takeInCharacter(unsigned char byte, Keys& keys) {
    if (!(length_ == 1 ? within(byte, secondLow_, secondHigh_) : within(byte, 0x80, 0xbf))) {
        giveBack(keys);
        state_ = State::Ground;
        takeInGround(static_cast<char>(byte), keys);
        return;
    }
    character_[length_++] = static_cast<char>(byte);
    if (length_ == characterLength_) {
        complete(keys, kIgnored);
        state_ = State::Ground;
    }
}

void KeySplitter::giveBack(Keys& keys) {
    if (std::exchange(abandoned_, false)) {
        return;
    }
    if (state_ == State::Character) {
        for (std::size_t i = 0; i < length_; ++i) {
            keys.add(Key{KeyKind::Byte, character_[i]});
        }
        return;
    }
    keys.add(Key{KeyKind::Byte, kEscape});
    if (state_ == State::Control || state_ == State::String) {
        keys.add(Key{KeyKind::Byte, introducer_});
    }
}

void KeySplitter::complete(Keys& keys, Key key) {
    if (!std::exchange(abandoned_, false)) {
        keys.add(key);
    }
}

KeySplitter::Keys KeySplitter::flush() {
    Keys keys;
    if (std::exchange(abandoned_, false)) {
        state_ = State::Ground;
        return keys;
    }
    const bool bare = state_ == State::Escape || state_ == State::Character ||
                      ((state_ == State::Control || state_ == State::String) && length_ == 0);
    if (bare) {
        giveBack(keys);
    } else if (state_ != State::Ground) {
        keys.add(kIgnored);
    }
    state_ = State::Ground;
    return keys;
}

std::size_t characterLength(std::string_view bytes) {
    KeySplitter splitter(true);
    for (std::size_t at = 0; at < bytes.size() && bytes[0] != kEscape; ++at) {
        const KeySplitter::Keys keys = splitter.take(bytes[at]);
        if (keys.count > 0) {
            return keys.keys[0].kind == KeyKind::Ignored ? at + 1 : 0;
        }
    }
    return 0;
}

}  // namespace orbalune
