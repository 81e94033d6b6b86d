#include "platform/saved_games/play_session.hpp"

#include <cerrno>
#include <cstring>
#include <utility>

#include "game/game.hpp"
#include "platform/programs/program_output.hpp"
#include "platform/terminal/keys.hpp"
#include "platform/terminal/shown_text.hpp"

namespace orbalune {

namespace {

using Traits = std::streambuf::traits_type;

// A catching-up game takes a key in well under a microsecond: the clock is read this seldom.
constexpr std::size_t kKeysBetweenLooksAtTheClock = 1 << 14;
// A resume plays at most about this many keys past the last snapshot of a catch-up.
constexpr std::size_t kKeysBetweenCatchUpSnapshots = 1 << 12;

}  // namespace

PlaySession::PlaySession(Console terminal, SaveFile* save, TerminalKeys* keyboard)
    : terminal_(std::move(terminal)),
      save_(save),
      keyboard_(keyboard),
      shownTail_(*terminal_.out.rdbuf()),
      shownLine_(shownTail_),
      screen_(&shownLine_),
      catchUp_(save != nullptr ? CatchUp(screen_, save->keys) : CatchUp(screen_)),
      keys_(*this),
      in_(&keys_) {
    if (keyboard_ != nullptr) {
        keyboard_->whenContinued([this] { mendLine(); });
        if (catchUp_.replaying()) {
            const auto [rows, columns] = keyboard_->windowSize();
            progress_.emplace(terminal_.out, rows, columns, ProgressLine::Clock::now());
        }
    }
}

void PlaySession::askedBy(const Game& game) {
    game_ = &game;
}

Console PlaySession::console(std::uint32_t seed) {
    Console console{in_, catchUp_.out(), [this](std::int32_t ms) { pause(ms); }, seed};
    // Only the questions the player sees: none while the file's keys catch up.
    if (terminal_.ask) {
        console.ask = [this](const Question& question) {
            if (!catchUp_.replaying()) {
                terminal_.ask(question);
            }
        };
    }
    if (keep_) {
        console.betweenCommands = [this] { takeSnapshot(); };
    }
    return console;
}

bool PlaySession::resumeFrom(Game& game, const GameSnapshot& snapshot) {
    if (save_ == nullptr || catchUp_.taken() > 0 || catchUp_.end() == 0 ||
        !snapshot.belongsTo(save_->keys, catchUp_.end()) || !game.restore(snapshot.game)) {
        return false;
    }
    catchUp_.resumeFrom(snapshot.taken, snapshot.screen);
    keysTaken_ = snapshot.taken;
    keysDigest_.value = snapshot.keysDigest;
    return true;
}

// Before each command the player is asked for, and while the file's keys catch up, every so many
// keys: the file may end in a fight or at the store, and the next resume starts from the last.
// A game resumed from the last key shows the screen at the first wait after it: after such a wait,
// a snapshot would show it otherwise, and the one before the key's command stands.
void PlaySession::takeSnapshot() {
    if (game_ == nullptr || save_ == nullptr || waitedSinceKey_ ||
        (catchUp_.replaying() && keysTaken_ - lastSnapshot_ < kKeysBetweenCatchUpSnapshots)) {
        return;
    }
    lastSnapshot_ = keysTaken_;
    keep_(GameSnapshot{keysTaken_, keysDigest_.value,
                       catchUp_.shown() ? shownTail_.screen() : catchUp_.heldScreen(),
                       game_->snapshot()});
}

std::optional<std::string> PlaySession::finish(bool screenAtTerminal) {
    catchUp_.show();
    if (screenAtTerminal && !shownLine_.atLineStart()) {
        screen_ << '\n' << std::flush;
    }
    if (!failure_ && screenFailed()) {
        failure_ = kOutputFailure;
    }
    if (!failure_) {
        makeDurable();
    }
    keys_.rethrowFailure();
    return failure_;
}

Traits::int_type PlaySession::peekKey() {
    if (catchUp_.replaying()) {
        return Traits::to_int_type(catchUp_.nextKey());
    }
    dropKeysTypedUnseen();
    catchUp_.show();
    if (screenFailed()) {
        failure_ = kOutputFailure;
        return Traits::eof();
    }
    // Before the first look at the keys: an arrow is a key or nothing by what is asked now.
    if (keyboard_ != nullptr) {
        keyboard_->arrowsMove(game_ != nullptr && game_->readingMove());
    }
    if (!syncBeforeWaiting()) {
        return Traits::eof();
    }
    return liveKeys().sgetc();
}

Traits::int_type PlaySession::takeKey() {
    if (catchUp_.replaying()) {
        if (progress_ && catchUp_.taken() % kKeysBetweenLooksAtTheClock == 0) {
            progress_->update(catchUp_.taken(), save_->keys.size(), ProgressLine::Clock::now());
        }
        ++keysTaken_;
        keysDigest_.add(catchUp_.nextKey());
        return Traits::to_int_type(catchUp_.takeKey());
    }
    const Traits::int_type next = peekKey();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return next;
    }
    if (save_ != nullptr && !isBlankKey(Traits::to_char_type(next)) &&
        !save_->appendKey(Traits::to_char_type(next))) {
        failure_ = save_->path + ": cannot save the next key: " + std::strerror(errno) +
                   " (the game stopped before it)";
        return Traits::eof();
    }
    if (!isBlankKey(Traits::to_char_type(next))) {
        ++keysTaken_;
        keysDigest_.add(Traits::to_char_type(next));
    }
    // What a snapshot keeps of the screen is what the saved game's keys would show.
    const std::string shown = shownKey(Traits::to_char_type(next));
    if (keyboard_ != nullptr) {
        screen_ << shown << std::flush;
    } else {
        shownTail_.shownElsewhere(shown);  // the terminal's echo
    }
    if (isBlankKey(Traits::to_char_type(next))) {
        shownTail_.forget(shown.size());
    } else {
        shownTail_.keyEchoed();
        waitedSinceKey_ = false;
    }
    return liveKeys().sbumpc();
}

void PlaySession::pause(std::int32_t ms) {
    dropKeysTypedUnseen();
    if (!catchUp_.beforeWait()) {
        return;
    }
    waitedSinceKey_ = true;
    if (terminal_.pause) {
        terminal_.pause(ms);
    }
    if (keyboard_ != nullptr) {
        keyboard_->checkContinued();
        keyboard_->discardTyped();
    }
}

// Keys typed while the game caught up were typed at a screen not shown yet: dropped just before
// it is shown (at the first key or wait after the last key of the file).
void PlaySession::dropKeysTypedUnseen() {
    if (caughtUp_ || catchUp_.replaying()) {
        return;
    }
    caughtUp_ = true;
    if (progress_) {
        progress_->clear();
    }
    if (keyboard_ != nullptr && catchUp_.taken() > 0) {
        keyboard_->discardTyped();
    }
}

// Back after a stop, below what the shell wrote meanwhile: the line the game was writing is
// shown again from its start, so that what follows lands where it belongs.
void PlaySession::mendLine() {
    terminal_.out << shownLine_.line() << std::flush;
}

std::streambuf& PlaySession::liveKeys() const {
    return keyboard_ != nullptr ? *keyboard_ : *terminal_.in.rdbuf();
}

// Keys that arrive together are made durable together, once, before the game waits for more; a
// power cut then loses at most what was typed since the game last waited.
bool PlaySession::syncBeforeWaiting() {
    if (save_ == nullptr || !save_->unsynced || liveKeys().in_avail() > 0) {
        return true;
    }
    return makeDurable();
}

bool PlaySession::makeDurable() {
    if (save_ == nullptr || save_->makeDurable()) {
        return true;
    }
    failure_ = save_->path + ": cannot save the game: " + std::strerror(errno);
    return false;
}

bool PlaySession::screenFailed() const {
    return catchUp_.failed();
}

}  // namespace orbalune
