// A saved game watched at a pseudo-terminal and steered by its keys.
#include "platform/replay/steered_watch.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/unique_fd.hpp"
#include "platform/replay/watch_events.hpp"
#include "platform/saved_games/save_format.hpp"
#include "platform/terminal/keys.hpp"
#include "platform/terminal/status_line.hpp"
#include "support/bot.hpp"
#include "support/program_run.hpp"
#include "support/terminal_run.hpp"

namespace orbalune::testing {
namespace {

const std::string kReplay = ORBALUNE_REPLAY_BINARY;
constexpr std::uint32_t kSeed = 7;
const std::string kClearScreen = "\x1b[H\x1b[2J";
// The status line is drawn between ESC 7 (the cursor saved) and ESC 8 (restored).
const std::string kStatusStart = std::string("\x1b") + "7\x1b[";
const std::string kRestoreCursor = std::string("\x1b") + "8";
constexpr char kErase = '\x7f';  // Backspace, as most terminals send it; '\b' as some do

// The screen the game shows when it is resumed from the first `count` keys of `keys` (which hold
// no blanks): all it writes before its first wait, or before it asks for a key.
std::string resumedScreen(const std::string& keys, std::size_t count) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("resumed.game");
    writeFile(path, saveHeader(kSeed) + keys.substr(0, count));
    const std::string resumed = runGame({"--save", path}, "").out;
    return resumed.substr(0, resumed.find("{pause"));
}

std::string statusOf(std::size_t position, std::size_t count) {
    return "key " + std::to_string(position) + " of " + std::to_string(count) + " | ";
}

// Watched from the start, paused, then taken to a key by number, a key back, a key on, to the
// next and previous change of place and fight, and to a number typed with a mistake: each lands
// where the status line says, on the screen a resumed game shows there. Paused, nothing moves;
// resized, the status line is drawn on the new last row; q stops, the terminal as it was found.
TEST(SteeredWatch, LandsWhereAResumedGameWouldAndLeavesTheTerminalAsFound) {
    Bot bot(kSeed, 3000);
    bot.play();
    const std::string& watched = bot.typed;  // with a few blanks, which the game passes over
    std::string keys = watched;
    std::erase_if(keys, isBlankKey);
    ASSERT_LT(keys.size(), watched.size());
    const std::size_t count = keys.size();
    const TemporaryDirectory directory;
    const std::string path = directory.file("steered.game");
    writeFile(path, saveHeader(kSeed) + watched);
    SavedKeys saved(keys);
    const WatchEvents events = WatchEvents::find(saved, kSeed);

    TerminalRun watch(kReplay, {"--watch", "--speed", "1024", path});
    ASSERT_TRUE(watch.awaitText("| ? keys")) << watch.screen();  // single keys by now
    watch.type(" ");
    const std::string pausedStatus = "| paused | ? keys" + kRestoreCursor;
    ASSERT_TRUE(watch.awaitText(pausedStatus)) << watch.screen();
    // Half and twice the speed, back and forth: time for a watch that did not stop to show keys.
    for (int round = 0; round < 10; ++round) {
        watch.type("-");
        ASSERT_TRUE(watch.awaitText("| speed 512 | paused")) << watch.screen();
        watch.type("+");
        ASSERT_TRUE(watch.awaitText("| speed 1024 | paused")) << watch.screen();
    }
    watch.type("?");  // the keys, after the position, as many words as the 80 columns hold
    ASSERT_TRUE(watch.awaitText(" of " + std::to_string(count) +
                                " | spc pause  h l step  < > place  [ ] fight  gN go  +- End q" +
                                kRestoreCursor))
        << watch.screen();
    // Nothing but status lines after the first that said it was paused.
    const std::size_t paused = watch.screen().find(pausedStatus) + pausedStatus.size();
    EXPECT_EQ(watch.screen().substr(paused, kStatusStart.size()), kStatusStart);
    EXPECT_EQ(watch.screen().find("==> ", paused), std::string::npos) << "moved while paused";

    // Where each key lands, the next from where the last one did.
    std::size_t at = 1200;
    std::vector<std::pair<std::string, std::size_t>> steps = {{"g1200\n", 1200}};
    const auto step = [&](const std::string& key, std::size_t to) {
        steps.emplace_back(key, to);
        at = to;
    };
    step("h", at - 1);
    step("l", at + 1);
    step(">", *nextAfter(events.placeChanges, at));
    step("<", *lastBefore(events.placeChanges, at));
    step("]", *nextAfter(events.fights, at));
    step("[", *lastBefore(events.fights, at));
    // Digits taken back by Backspace.
    step(std::string("g9") + kErase + "133\b00\n", 1300);
    for (const auto& [key, position] : steps) {
        const std::size_t before = watch.screen().size();
        watch.type(key);
        ASSERT_TRUE(watch.awaitText(statusOf(position, count))) << key << watch.screen();
        const std::string& screen = watch.screen();
        const std::size_t status = screen.rfind(kStatusStart);
        const std::size_t clear = screen.rfind(kClearScreen);
        const std::string expected = resumedScreen(keys, position);
        if (key == "l") {  // on from the screen as it was
            ASSERT_LT(clear, before);
            const std::size_t from = screen.rfind(kStatusStart, before);
            const std::size_t drawn = screen.find(kRestoreCursor, from) + kRestoreCursor.size();
            EXPECT_TRUE(expected.ends_with(screen.substr(drawn, status - drawn))) << key;
        } else {
            ASSERT_GE(clear, before) << key;
            // After the clearing and the status line saying where the watch is going.
            const std::size_t shown = screen.find(kRestoreCursor, clear) + kRestoreCursor.size();
            EXPECT_EQ(screen.substr(shown, status - shown), expected) << key;
        }
    }

    watch.resize(30);
    ASSERT_TRUE(watch.awaitText("\x1b[30;1H\x1b[2K" + statusOf(at, count)));
    watch.type("q");
    ASSERT_TRUE(watch.awaitText(std::string(StatusLine::kLeaving)));
    const int status = watch.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(sameSettings(watch.settings(), watch.initialSettings()));
}

// A watch whose terminal output is stopped (Ctrl-S) ends at once on SIGTERM all the same, the
// terminal as it was found: nothing on the way out waits on the terminal.
// Jumps back and forth through a game longer than the watch's spacing of snapshots, so that most
// land by a snapshot taken on the way: each shows the screen a game resumed there shows, in town
// (where that screen reaches back before the snapshot) as in the dungeon.
TEST(SteeredWatch, JumpsBySnapshotsLandWhereAResumedGameWould) {
    Bot bot(kSeed, 4 * SnapshotIndex::kSpacing, BotStyle::Restless);
    bot.play();
    std::string keys = bot.typed;
    std::erase_if(keys, isBlankKey);
    std::vector<std::size_t> positions = {keys.size()};
    // Key by key after where snapshots are taken: some land a key or two after one.
    for (std::size_t window = 1; window < 4; ++window) {
        for (std::size_t key = 0; key < 24; ++key) {
            positions.push_back(window * SnapshotIndex::kSpacing + key);
        }
    }
    std::string steering;
    for (const std::size_t position : positions) {
        steering += "g" + std::to_string(position) + "\n";
    }
    steering += "g1\nq";  // the last screen checked ends where the next begins
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    ASSERT_EQ(::write(pipe[1], steering.data(), steering.size()),
              static_cast<ssize_t>(steering.size()));
    const UniqueFd keysIn(pipe[0]);
    const UniqueFd keysOut(pipe[1]);
    TerminalKeys keyboard(pipe[0], TerminalKeys::kNoEndKey);
    SavedKeys saved(keys);
    std::ostringstream screen;
    SteeredWatch watch({saved, kSeed}, screen, keyboard, 1);
    ASSERT_TRUE(watch.run());

    std::string shown = screen.str();
    std::size_t inTown = 0;
    for (std::size_t jump = 0; jump < positions.size(); ++jump) {
        const std::size_t start = shown.find(kClearScreen);
        ASSERT_NE(start, std::string::npos) << "jump " << jump;
        shown.erase(0, start + kClearScreen.size());
        const std::string expected = resumedScreen(keys, positions[jump]);
        inTown += expected.ends_with("(V) View Stats  \n==> ") &&
                          expected.rfind("You are currently in town.") >
                              expected.rfind("You are in Dungeon")
                      ? 1
                      : 0;
        ASSERT_EQ(shown.substr(0, shown.find(kClearScreen)), expected)
            << "jump to key " << positions[jump];
    }
    EXPECT_GE(inTown, 3U);
}

TEST(SteeredWatch, EndsOnASignalWhileTheTerminalsOutputIsStopped) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("watched.game");
    writeFile(path, saveHeader(kSeed) + std::string(1000, 'v'));
    TerminalRun watch(kReplay, {"--watch", "--speed", "1024", path});
    ASSERT_TRUE(watch.awaitText("| ? keys")) << watch.screen();
    watch.stopOutput();
    watch.signal(SIGTERM);
    const int status = watch.finish();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(sameSettings(watch.settings(), watch.initialSettings()));
}

// Following a game being played, End lands on its last key however many came while the watch
// was paused, and goes on live; once no one plays the game, the status line says it ended.
TEST(SteeredWatch, EndWhileFollowingLandsOnTheLastKeyLive) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("played.game");
    writeFile(path, saveHeader(kSeed) + "v");
    UniqueFd played(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    ASSERT_EQ(::flock(played.get(), LOCK_EX), 0);  // as the player's game holds it
    TerminalRun watch(kReplay, {"--watch", "--follow", path});
    ASSERT_TRUE(watch.awaitText(statusOf(1, 1) + "town | live")) << watch.screen();
    watch.type(" ");
    ASSERT_TRUE(watch.awaitText("| paused")) << watch.screen();
    const std::string more(300, 'v');
    ASSERT_EQ(::write(played.get(), more.data(), more.size()), 300);
    watch.type("\x1b[F");
    ASSERT_TRUE(watch.awaitText("going to key 301 of 301...")) << watch.screen();
    ASSERT_TRUE(watch.awaitText(statusOf(301, 301) + "town | live | ? keys")) << watch.screen();
    played = UniqueFd();  // the player's game ends
    ASSERT_TRUE(watch.awaitText(statusOf(301, 301) + "town | ended")) << watch.screen();
    watch.type("q");
    EXPECT_EQ(watch.finish(), 0);
}

}  // namespace
}  // namespace orbalune::testing
