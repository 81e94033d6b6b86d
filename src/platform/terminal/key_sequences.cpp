#include "platform/terminal/key_sequences.hpp"

#include <array>
#include <utility>

namespace orbalune {

namespace {

constexpr char kEscape = '\x1b';

// The arrows' final bytes and the directions they move in.
constexpr std::array<std::pair<char, char>, 4> kArrows = {
    {{'A', 'n'}, {'B', 's'}, {'C', 'e'}, {'D', 'w'}}};

bool within(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

bool isFinal(unsigned char byte) {
    return within(byte, 0x40, 0x7e);
}

char arrowMove(unsigned char final) {
    for (const auto& [sent, move] : kArrows) {
        if (final == static_cast<unsigned char>(sent)) {
            return move;
        }
    }
    return 0;
}

// End: ESC [ F or ESC O F (xterm), ESC [ 4 ~ (the Linux console, VT220s) or ESC [ 8 ~ (rxvt).
bool isEnd(std::string_view parameters, unsigned char final) {
    return (final == 'F' && parameters.empty()) ||
           (final == '~' && (parameters == "4" || parameters == "8"));
}

SplitKey incompleteOr(bool moreMayCome, SplitKey otherwise) {
    return moreMayCome ? SplitKey{KeyKind::Incomplete, 0, 0} : otherwise;
}

// ESC [ or ESC O, then parameter bytes, intermediate bytes (CSI only) and a final byte.
SplitKey splitSequence(std::string_view bytes, bool moreMayCome) {
    const bool control = bytes[1] == '[';
    std::size_t at = 2;
    if (control && bytes.size() > at && bytes[at] == '[') {
        ++at;  // the Linux console's F1 to F5: ESC [ [ A to E
    }
    bool plain = at == 2;  // nothing but digits and semicolons before the final byte
    while (at < bytes.size() && at < kLongestSequence) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (isFinal(byte)) {
            const char move = plain ? arrowMove(byte) : '\0';
            if (move != 0) {
                return SplitKey{KeyKind::Arrow, at + 1, move};
            }
            const bool end = plain && isEnd(bytes.substr(2, at - 2), byte);
            return SplitKey{end ? KeyKind::End : KeyKind::Ignored, at + 1, 0};
        }
        if (within(byte, 0x30, 0x3f)) {
            plain = plain && (within(byte, '0', '9') || byte == ';');
        } else if (control && within(byte, 0x20, 0x2f)) {
            plain = false;
        } else {
            // Not a sequence after all: its start is dropped, the rest are keys.
            return at == 2 ? SplitKey{} : SplitKey{KeyKind::Ignored, at, 0};
        }
        ++at;
    }
    if (at == kLongestSequence) {
        return SplitKey{KeyKind::Ignored, at, 0};
    }
    // Cut short: a bare ESC [ was typed as two keys; anything longer was a sequence.
    return incompleteOr(moreMayCome, at == 2 ? SplitKey{} : SplitKey{KeyKind::Ignored, at, 0});
}

// A character of several bytes: its lead byte says how many, and what the second may be
// (no overlong forms, no surrogates, nothing past U+10FFFF).
SplitKey splitCharacter(std::string_view bytes, bool moreMayCome) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xbf;
    if (within(lead, 0xc2, 0xdf)) {
        length = 2;
    } else if (within(lead, 0xe0, 0xef)) {
        length = 3;
        secondLow = lead == 0xe0 ? 0xa0 : 0x80;
        secondHigh = lead == 0xed ? 0x9f : 0xbf;
    } else if (within(lead, 0xf0, 0xf4)) {
        length = 4;
        secondLow = lead == 0xf0 ? 0x90 : 0x80;
        secondHigh = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return SplitKey{};
    }
    for (std::size_t at = 1; at < length; ++at) {
        if (at == bytes.size()) {
            return incompleteOr(moreMayCome, SplitKey{});
        }
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (!(at == 1 ? within(byte, secondLow, secondHigh) : within(byte, 0x80, 0xbf))) {
            return SplitKey{};
        }
    }
    return SplitKey{KeyKind::Ignored, length, 0};
}

}  // namespace

SplitKey splitKey(std::string_view bytes, bool utf8, bool moreMayCome) {
    if (bytes[0] == kEscape) {
        if (bytes.size() == 1) {
            return incompleteOr(moreMayCome, SplitKey{});
        }
        if (bytes[1] == '[' || bytes[1] == 'O') {
            return splitSequence(bytes, moreMayCome);
        }
        return SplitKey{};
    }
    if (utf8 && static_cast<unsigned char>(bytes[0]) >= 0x80) {
        return splitCharacter(bytes, moreMayCome);
    }
    return SplitKey{};
}

}  // namespace orbalune
