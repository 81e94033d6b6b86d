#pragma once

#include <locale>
#include <streambuf>

namespace orbalune {

// A blank the game skips when it reads a key (space, tab, line end, ...): it is never an answer,
// so saved games need not keep it. The game's input stream skips the blanks of the classic
// locale, whatever locale the program runs in, and so does this.
inline bool isBlankKey(char key) {
    return std::isspace(key, std::locale::classic());
}

// The game's keyboard, handing it one key at a time from `Owner`'s peekKey and takeKey.
// Unbuffered, so that the owner acts on each key as the game takes it (saves it, echoes it), not
// when a line of them arrives.
template <typename Owner>
class KeyFeed : public std::streambuf {
public:
    explicit KeyFeed(Owner& owner) : owner_(owner) {}

protected:
    int_type underflow() override { return owner_.peekKey(); }
    int_type uflow() override { return owner_.takeKey(); }

private:
    Owner& owner_;
};

}  // namespace orbalune
