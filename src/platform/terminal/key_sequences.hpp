#pragma once

#include <cstddef>
#include <string_view>

namespace orbalune {

// What a terminal sends for one press of a key, as the keyboard reader splits it off.
enum class KeyKind {
    Byte,        // one byte, a key as the game knows keys
    Arrow,       // an arrow's escape sequence: `move` is the letter of its direction
    End,         // the End key's
    Ignored,     // another escape sequence (Home, F1, ...), or a character of several bytes
    Incomplete,  // the start of a longer one: wait a moment for the rest
};

struct SplitKey {
    KeyKind kind = KeyKind::Byte;
    std::size_t length = 1;  // bytes it takes
    char move = 0;           // n, s, e or w, for an arrow
};

// The longest escape sequence read whole; a longer one is dropped in pieces.
inline constexpr std::size_t kLongestSequence = 32;

// Splits off the key that `bytes` (not empty) start with. Escape sequences are ECMA-48's CSI
// (ESC [ ...) and SS3 (ESC O ...) ones, and the Linux console's function keys (ESC [ [ A); with
// `utf8`, a well-formed character of several bytes is one key too. `moreMayCome`: whether more
// bytes may still arrive for it; without, a start of a sequence is what was typed (a lone
// Escape, then '[' or 'O') and a start of a character its bytes, one key each.
SplitKey splitKey(std::string_view bytes, bool utf8, bool moreMayCome);

}  // namespace orbalune
