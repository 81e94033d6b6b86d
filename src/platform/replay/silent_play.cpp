#include "platform/replay/silent_play.hpp"

#include <istream>
#include <ostream>
#include <streambuf>

#include "game/game.hpp"
#include "platform/terminal/keys.hpp"

namespace orbalune {

namespace {

// The keys of a game played through, and the eye that looks at it before each one.
class LookedAtKeys {
public:
    using Look = std::function<void(const Game&, std::size_t)>;

    LookedAtKeys(SavedKeys& keys, const Look& look) : keys_(keys), look_(look) {}

    std::streambuf& keys() { return feed_; }
    void watch(const Game& game) { game_ = &game; }

private:
    friend class KeyFeed<LookedAtKeys>;

    std::streambuf::int_type peekKey() {
        if (next_ == keys_.size()) {
            if (!lookedAtTheEnd_) {
                lookedAtTheEnd_ = true;
                look_(*game_, taken_);
            }
            return std::streambuf::traits_type::eof();
        }
        return std::streambuf::traits_type::to_int_type(keys_[next_]);
    }
    std::streambuf::int_type takeKey() {
        const std::streambuf::int_type key = peekKey();
        if (next_ < keys_.size()) {
            look_(*game_, taken_);
            taken_ += isBlankKey(keys_[next_++]) ? 0 : 1;
        }
        return key;
    }

    SavedKeys& keys_;
    const Look& look_;
    const Game* game_ = nullptr;
    std::size_t next_ = 0;   // the byte of the next key
    std::size_t taken_ = 0;  // keys taken, blanks not counted
    bool lookedAtTheEnd_ = false;
    KeyFeed<LookedAtKeys> feed_{*this};
};

}  // namespace

int playSilently(SavedKeys& keys, std::uint32_t seed,
                 const std::function<void(const Game& game, std::size_t taken)>& look) {
    LookedAtKeys looked(keys, look);
    std::istream in(&looked.keys());
    // A stream without a buffer writes nothing, and formats nothing: nothing the game computes
    // depends on what it shows, so the game is the same, several times faster.
    std::ostream out(nullptr);
    Game game(Console{in, out, [](std::int32_t) {}, seed});
    looked.watch(game);
    return game.run();
}

}  // namespace orbalune
