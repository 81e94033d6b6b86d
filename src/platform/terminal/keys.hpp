#pragma once

#include <cctype>
#include <streambuf>

namespace orbalune {

// A blank the game skips when it reads a key (space, tab, line end, ...): it is never an answer,
// so saved games need not keep it.
inline bool isBlankKey(char key) {
    return std::isspace(static_cast<unsigned char>(key)) != 0;
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
