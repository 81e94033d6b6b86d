#pragma once

#include <exception>
#include <locale>
#include <streambuf>
#include <utility>

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

    // Raises what the owner threw while the game read a key, if anything: an input stream
    // swallows what its buffer throws, and the game would end as if its keys had. Raised once.
    void rethrowFailure() {
        if (failure_) {
            std::rethrow_exception(std::exchange(failure_, nullptr));
        }
    }

protected:
    int_type underflow() override { return guarded(&Owner::peekKey); }
    int_type uflow() override { return guarded(&Owner::takeKey); }

private:
    int_type guarded(int_type (Owner::*read)()) {
        try {
            return (owner_.*read)();
        } catch (...) {
            failure_ = std::current_exception();
            return traits_type::eof();
        }
    }

    Owner& owner_;
    std::exception_ptr failure_;
};

}  // namespace orbalune
