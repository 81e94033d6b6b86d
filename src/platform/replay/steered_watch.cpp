#include "platform/replay/steered_watch.hpp"

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <string_view>

#include "game/game.hpp"
#include "platform/terminal/shown_text.hpp"

namespace orbalune {

namespace {

using Traits = std::streambuf::traits_type;

constexpr std::chrono::milliseconds kForever{-1};

// Clears the screen: the cursor home, then everything from it on.
constexpr const char* kClearScreen = "\x1b[H\x1b[2J";

// The keys, after the position, from the fullest to the tersest: the status line shows the first
// that fits the terminal's width (the last, if none does). The arrows step like h and l.
constexpr std::array<std::string_view, 4> kHelp = {
    "space pause  h l step  < > place  [ ] fight  gN go  +- speed  End  q stop",
    "space pause  h l step  < > place  [ ] fight  gN go  +- speed  End q",
    "spc pause  h l step  < > place  [ ] fight  gN go  +- End q",
    "spc h l < > [ ] gN +- End q",
};

constexpr char kEscape = '\x1b';
constexpr char kInterrupt = '\x03';  // Ctrl-C
constexpr char kErase = '\x7f';      // Backspace, as most terminals send it
constexpr char kBackspace = '\b';    // and as some do

// The number `digits` spell, or `most` if it is larger (however many digits there are).
std::size_t atMost(const std::string& digits, std::size_t most) {
    std::size_t value = 0;
    for (const char digit : digits) {
        if (value > most / 10) {
            return most;
        }
        value = value * 10 + static_cast<std::size_t>(digit - '0');
    }
    return std::min(value, most);
}

}  // namespace

SteeredWatch::SteeredWatch(PlaybackKeys keys, std::ostream& terminal, TerminalKeys& keyboard,
                           double speed)
    : source_(keys),
      terminal_(terminal),
      keyboard_(keyboard),
      shownTail_(*terminal.rdbuf()),
      shownLine_(shownTail_),
      screen_(&shownLine_),
      status_(terminal),
      speed_(speed),
      feed_(*this),
      in_(&feed_) {
    // Resized, or continued after a stop: the status line is drawn again where the last row now
    // is. Continued, the line being written is written again too, on a line of its own below
    // what the shell wrote over it.
    keyboard_.whenContinued([this] {
        const auto [rows, columns] = keyboard_.windowSize();
        const bool resized = !status_.fitted(rows, columns);
        status_.fit(rows, columns);
        if (!resized) {
            terminal_ << shownLine_.line() << std::flush;
        }
    });
}

bool SteeredWatch::run() {
    const auto [rows, columns] = keyboard_.windowSize();
    status_.fit(rows, columns);
    Jump start{0, false};
    paused_ = false;
    for (;;) {
        try {
            playFrom(start);
            break;  // the screen could not be written
        } catch (const Jump& jump) {
            start = jump;
            paused_ = !jump.live;  // a jump waits where it lands
            terminal_ << kClearScreen << std::flush;
            // Said at once: in a very long file the way there takes a moment.
            status_.draw("going to key " + std::to_string(jump.position) + " of " +
                         std::to_string(keyCount()) + "...");
        } catch (const StopWatching&) {
            break;
        }
    }
    status_.close();
    if (!shownLine_.atLineStart()) {
        screen_ << '\n';  // the shell's prompt on a line of its own
    }
    screen_.flush();
    return !screen_.fail() && !terminal_.fail();
}

// One game, shown from `start.position` on; it ends by a jump, by the viewer stopping, or when
// the screen cannot be written.
void SteeredWatch::playFrom(const Jump& start) {
    catchUp_.emplace(screen_, keys(), byteOf(start.position));
    taken_ = 0;
    position_ = 0;
    live_ = start.live;
    stepping_ = false;
    pausePoint_ = true;
    over_ = false;
    in_.clear();
    shownTail_.clear();
    Game game(Console{in_, catchUp_->out(), [this](std::int32_t ms) { wait(ms); }, source_.seed});
    restoreNearest(game);
    game.console.betweenCommands = [this, &game] { keepSnapshot(game); };
    struct Forget {
        const Game*& game;
        ~Forget() { game = nullptr; }
    } forget{game_};
    game_ = &game;
    game.run();
    catchUp_->show();
    feed_.rethrowFailure();
}

// The nearest snapshot before the screen to show saves playing the keys before it.
void SteeredWatch::restoreNearest(Game& game) {
    const SnapshotIndex::Entry* nearest = snapshots_.before(catchUp_->end());
    if (nearest != nullptr && game.restore(nearest->snapshot.game)) {
        catchUp_->resumeFrom(nearest->snapshot.taken, nearest->snapshot.screen);
        taken_ = nearest->snapshot.taken;
        position_ = nearest->position;
    }
}

void SteeredWatch::keepSnapshot(const Game& game) {
    if (snapshots_.wants(taken_)) {
        snapshots_.add(position_, GameSnapshot{taken_, 0,
                                               catchUp_->shown() ? shownTail_.screen()
                                                                 : catchUp_->heldScreen(),
                                               game.snapshot()});
    }
}

Traits::int_type SteeredWatch::peekKey() {
    if (catchUp_->replaying()) {
        return Traits::to_int_type(catchUp_->nextKey());
    }
    catchUp_->show();
    if (screen_.fail()) {
        return Traits::eof();
    }
    // Blanks are passed over on the way to a key: a position is where a key is asked for.
    if (taken_ < keys().size() && isBlankKey(keys()[taken_])) {
        return Traits::to_int_type(keys()[taken_]);
    }
    reachPausePoint();
    for (;;) {
        while (paused_) {
            steer(keyboard_.pressKey(kForever));
        }
        if (taken_ < keys().size()) {
            return Traits::to_int_type(keys()[taken_]);
        }
        awaitKeys();
    }
}

Traits::int_type SteeredWatch::takeKey() {
    if (catchUp_->replaying()) {
        position_ += isBlankKey(keys()[taken_++]) ? 0 : 1;
        return Traits::to_int_type(catchUp_->takeKey());
    }
    const Traits::int_type next = peekKey();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return next;
    }
    const char key = keys()[taken_];
    if (!isBlankKey(key)) {
        if (!live_) {
            idle(scaledWait(kWatchKeyDelayMs, speed_));
        }
        screen_ << shownKey(key) << std::flush;
        shownTail_.keyEchoed();
        if (stepping_) {
            stepping_ = false;
            paused_ = true;
        }
        pausePoint_ = true;
        ++position_;
    } else {
        shownTail_.shownElsewhere(shownKey(key));  // as a catch-up shows it
    }
    ++taken_;
    return next;
}

void SteeredWatch::wait(std::int32_t ms) {
    if (!catchUp_->beforeWait() || ms <= 0) {
        return;
    }
    reachPausePoint();
    idle(scaledWait(ms, live_ ? 1 : speed_));
}

void SteeredWatch::reachPausePoint() {
    if (pausePoint_) {
        pausePoint_ = false;
        drawStatus();
    }
}

void SteeredWatch::idle(Clock::duration duration) {
    Clock::duration left = duration;
    // Paused just as the time ran out, it stays paused all the same.
    while (!stepping_ && (paused_ || left > Clock::duration::zero())) {
        if (paused_) {
            steer(keyboard_.pressKey(kForever));
            continue;  // the rest of the wait, once it goes on
        }
        const Clock::time_point started = Clock::now();
        steer(keyboard_.pressKey(std::chrono::ceil<std::chrono::milliseconds>(left)));
        left -= Clock::now() - started;
    }
}

void SteeredWatch::awaitKeys() {
    if (source_.followed != nullptr && !over_) {
        const std::optional<bool> more = source_.followed->moreThan(taken_);
        if (!more) {
            live_ = true;  // caught up with the player
            drawStatus();
            steer(keyboard_.pressKey(source_.followed->lookInterval(),
                                     source_.followed->changesFd()));
            return;
        }
        if (*more) {
            live_ = true;  // caught up: from now on as it is played
            return;
        }
        over_ = true;
    }
    // The end: nothing goes on until the viewer goes elsewhere.
    paused_ = true;
    stepping_ = false;
    drawStatus();
}

void SteeredWatch::steer(const PressedKey& key) {
    using Kind = PressedKey::Kind;
    if (key.kind != Kind::None && helpShown_) {
        helpShown_ = false;  // the help stays until the next key
        drawStatus();
    }
    switch (key.kind) {
        case Kind::None:
            return;
        case Kind::Ended:
            throw StopWatching{};
        case Kind::End:
            if (source_.followed != nullptr) {
                source_.followed->moreThan(taken_);  // the end is the last key played so far
            }
            throw Jump{keyCount(), source_.followed != nullptr && !over_};
        case Kind::Arrow:
        case Kind::Byte:
            break;
    }
    // The right and left arrows are l and h; up and down mean nothing.
    const char arrowAs = key.byte == 'e' ? 'l' : key.byte == 'w' ? 'h' : '\0';
    switch (key.kind == Kind::Arrow ? arrowAs : key.byte) {
        case ' ':
            paused_ = !paused_;
            stepping_ = false;
            drawStatus();
            return;
        case 'l':
            stepForward();
            return;
        case 'h':
            jumpTo(position_ > 0 ? std::optional(position_ - 1) : std::nullopt);
            return;
        case '>':
            jumpTo(nextAfter(events().placeChanges, position_));
            return;
        case '<':
            jumpTo(lastBefore(events().placeChanges, position_));
            return;
        case ']':
            jumpTo(nextAfter(events().fights, position_));
            return;
        case '[':
            jumpTo(lastBefore(events().fights, position_));
            return;
        case 'g':
            readPosition();
            return;
        case '+':
        case '-':
            if (key.byte == '+' ? speed_ < kFastest : speed_ > kSlowest) {
                speed_ = key.byte == '+' ? speed_ * 2 : speed_ / 2;
            }
            drawStatus();
            return;
        case '?':
            helpShown_ = true;
            drawStatus();
            return;
        case 'q':
        case kEscape:
        case kInterrupt:
            throw StopWatching{};
        default:
            return;
    }
}

void SteeredWatch::stepForward() {
    if (position_ < keyCount()) {
        stepping_ = true;
        paused_ = false;
    }
}

void SteeredWatch::jumpTo(std::optional<std::size_t> position) {
    if (position) {
        throw Jump{*position, false};
    }
}

// `g`, a number, Enter: the position with that many keys taken, or the end if there are fewer.
void SteeredWatch::readPosition() {
    std::string digits;
    for (;;) {
        status_.draw("go to key: " + digits + "   (Enter: go, Escape: do not)");
        const PressedKey key = keyboard_.pressKey(kForever);
        if (key.kind == PressedKey::Kind::Ended) {
            throw StopWatching{};
        }
        if (key.kind != PressedKey::Kind::Byte) {
            continue;
        }
        if (key.byte >= '0' && key.byte <= '9') {
            digits += key.byte;
        } else if ((key.byte == kErase || key.byte == kBackspace) && !digits.empty()) {
            digits.pop_back();
        } else if ((key.byte == '\n' || key.byte == '\r') && !digits.empty()) {
            throw Jump{atMost(digits, keyCount()), false};
        } else if (key.byte == kEscape) {
            break;
        } else if (key.byte == kInterrupt) {
            throw StopWatching{};
        }
    }
    drawStatus();
}

std::size_t SteeredWatch::keyCount() {
    for (; counted_ < keys().size(); ++counted_) {
        keyCount_ += isBlankKey(keys()[counted_]) ? 0 : 1;
    }
    return keyCount_;
}

std::size_t SteeredWatch::byteOf(std::size_t position) {
    std::size_t byte = 0;
    for (std::size_t passed = 0; passed < position && byte < keys().size(); ++byte) {
        passed += isBlankKey(keys()[byte]) ? 0 : 1;
    }
    return byte;
}

const WatchEvents& SteeredWatch::events() {
    if (!events_ || events_->keysSeen != keys().size()) {
        events_ = WatchEvents::find(keys(), source_.seed);
    }
    return *events_;
}

void SteeredWatch::drawStatus() {
    std::ostringstream text;
    text << "key " << position_ << " of " << keyCount() << " | ";
    if (helpShown_) {
        const std::string position = text.str();
        const auto fits = [&](std::string_view help) {
            return static_cast<int>(position.size() + help.size()) <= status_.columns();
        };
        const auto* const help = std::find_if(kHelp.begin(), kHelp.end(), fits);
        status_.draw(position + std::string(help != kHelp.end() ? *help : kHelp.back()));
        return;
    }
    if (game_ != nullptr && game_->inDungeon == 1) {
        text << "dungeon " << game_->dungeonNumber;
    } else {
        text << "town";
    }
    if (over_) {
        text << " | ended";
    } else if (live_) {
        text << " | live";
    } else {
        text << " | speed " << speed_;
    }
    if (paused_) {
        text << " | paused";
    }
    text << " | ? keys";
    status_.draw(text.str());
}

}  // namespace orbalune
