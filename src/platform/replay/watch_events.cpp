#include "platform/replay/watch_events.hpp"

#include <algorithm>
#include <array>
#include <istream>
#include <ostream>
#include <streambuf>

#include "game/game.hpp"
#include "platform/terminal/keys.hpp"

namespace orbalune {

namespace {

// Takes what the game writes and keeps none of it, a buffer at a time.
class Unseen : public std::streambuf {
public:
    Unseen() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

protected:
    int_type overflow(int_type c) override {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return traits_type::not_eof(c);
    }

private:
    std::array<char, 4096> buffer_{};
};

// The keys of a game being looked through, and what it was seen doing before each one.
class EventFinder {
public:
    EventFinder(const std::string& keys, WatchEvents& events) : keys_(keys), events_(events) {}

    std::streambuf& keys() { return feed_; }
    void watch(const Game& game) { game_ = &game; }

private:
    friend class KeyFeed<EventFinder>;

    std::streambuf::int_type peekKey() {
        if (next_ == keys_.size()) {
            look();  // the game's state after the last key counts too
            return std::streambuf::traits_type::eof();
        }
        return std::streambuf::traits_type::to_int_type(keys_[next_]);
    }
    std::streambuf::int_type takeKey() {
        const std::streambuf::int_type key = peekKey();
        if (next_ < keys_.size()) {
            look();
            position_ += isBlankKey(keys_[next_++]) ? 0 : 1;
        }
        return key;
    }

    // What the game is doing now that it has taken `position_` keys.
    void look() {
        const bool inDungeon = game_->inDungeon == 1;
        // Looked at twice at the end, the game is seen to change once.
        if (position_ > 0 && inDungeon != inDungeon_) {
            events_.placeChanges.push_back(position_);
        }
        inDungeon_ = inDungeon;
        // A fight's first menu is the first one read since the command menu was.
        const Game::Menu menu = game_->reading;
        if (menu == Game::Menu::Fight && lastMenu_ != Game::Menu::Fight) {
            events_.fights.push_back(position_);
        }
        if (menu != Game::Menu::None) {
            lastMenu_ = menu;
        }
    }

    const std::string& keys_;
    WatchEvents& events_;
    const Game* game_ = nullptr;
    std::size_t next_ = 0;      // the byte of the next key
    std::size_t position_ = 0;  // keys taken, blanks not counted
    bool inDungeon_ = false;
    Game::Menu lastMenu_ = Game::Menu::None;
    KeyFeed<EventFinder> feed_{*this};
};

}  // namespace

WatchEvents WatchEvents::find(const std::string& keys, std::uint32_t seed) {
    WatchEvents events;
    EventFinder finder(keys, events);
    std::istream in(&finder.keys());
    Unseen unseen;
    std::ostream out(&unseen);
    Game game(Console{in, out, [](std::int32_t) {}, seed});
    finder.watch(game);
    game.run();
    events.keysSeen = keys.size();
    return events;
}

std::optional<std::size_t> nextAfter(const std::vector<std::size_t>& positions,
                                     std::size_t position) {
    const auto next = std::upper_bound(positions.begin(), positions.end(), position);
    return next == positions.end() ? std::nullopt : std::optional<std::size_t>(*next);
}

std::optional<std::size_t> lastBefore(const std::vector<std::size_t>& positions,
                                      std::size_t position) {
    const auto next = std::lower_bound(positions.begin(), positions.end(), position);
    return next == positions.begin() ? std::nullopt : std::optional<std::size_t>(*(next - 1));
}

}  // namespace orbalune
