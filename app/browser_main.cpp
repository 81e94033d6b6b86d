// The programs in a web page: the game, or a watch of a saved game, each run in the page's
// terminal by the page's script, which also asks whether a file it was given is a saved game.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include "game/console.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/programs/game_program.hpp"
#include "platform/programs/program_output.hpp"
#include "platform/replay/playback.hpp"
#include "platform/replay/recording.hpp"
#include "platform/replay/replay.hpp"
#include "platform/saved_games/game_snapshot.hpp"
#include "platform/saved_games/save_format.hpp"

// What the program writes to the terminal, and what it says went wrong.
EM_JS(void, orbalune_show, (const char* bytes, int size),
      { Module.page.show(HEAPU8.slice(bytes, bytes + size)); });
EM_JS(void, orbalune_say, (const char* bytes, int size),
      { Module.page.say(UTF8ToString(bytes, size)); });
// What the game asks, as JSON: the page shows its choices.
EM_JS(void, orbalune_ask, (const char* json), { Module.page.ask(JSON.parse(UTF8ToString(json))); });
// A snapshot of the game before a command, for the page to keep beside the saved game.
EM_JS(void, orbalune_snapshot, (const char* bytes, int size),
      { Module.page.keepSnapshot(HEAPU8.slice(bytes, bytes + size)); });
// The game waits on its clock: keys typed meanwhile are dropped.
EM_JS(void, orbalune_wait, (int ms), { Module.page.waiting(ms); });

namespace {

// Bytes for the page, handed over whenever the program flushes (before every read of a key) or
// the buffer fills.
class PageStream : public std::streambuf {
public:
    explicit PageStream(void (*hand)(const char*, int)) : hand_(hand) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

protected:
    int_type overflow(int_type byte) override {
        sync();
        if (!traits_type::eq_int_type(byte, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(byte);
            pbump(1);
        }
        return traits_type::not_eof(byte);
    }
    int sync() override {
        if (pptr() != pbase()) {
            hand_(pbase(), static_cast<int>(pptr() - pbase()));
            setp(buffer_.data(), buffer_.data() + buffer_.size());
        }
        return 0;
    }

private:
    void (*hand_)(const char*, int);
    std::array<char, 4096> buffer_{};
};

// The page's terminal reads single keys from "descriptor" 0 and shows what is written to 1.
constexpr int kKeyboard = 0;
constexpr int kScreen = 1;
// Where the page puts the snapshot it kept beside the saved game it asks to play.
constexpr const char* kSnapshotPath = "/snapshot/resume";

// Indexed by Question::Kind.
constexpr std::array<const char*, 9> kQuestionNames = {"town", "dungeon", "fight", "store",  "buy",
                                                       "sell", "use",     "drop",  "pick up"};

// {"question": "dungeon", "choices": [{"key": "N", "words": "North"}, ...]}
void ask(const orbalune::Question& question) {
    std::string json = R"({"question": ")";
    json += kQuestionNames.at(static_cast<std::size_t>(question.kind));
    json += R"(", "choices": [)";
    for (const orbalune::Choice& choice : question.choices) {
        json += &choice == question.choices.data() ? "" : ", ";
        json += R"({"key": )" + orbalune::jsonString(std::string_view(&choice.key, 1)) +
                R"(, "words": )" + orbalune::jsonString(choice.words) + '}';
    }
    json += "]}";
    orbalune_ask(json.c_str());
}

// The snapshot the page kept, if it gave one and it is whole.
std::optional<orbalune::GameSnapshot> keptSnapshot() {
    std::ifstream file(kSnapshotPath, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return orbalune::GameSnapshot::decode(bytes);
}

void keepSnapshot(const orbalune::GameSnapshot& snapshot) {
    const std::string bytes = snapshot.encode();
    orbalune_snapshot(bytes.data(), static_cast<int>(bytes.size()));
}

void pauseShown(std::int32_t ms) {
    orbalune_wait(ms);
    orbalune::sleepingPause(ms);
}

}  // namespace

// Runs orbalune (argv[0] "orbalune") or orbalune-replay with these arguments in the page's
// terminal; the exit status. Each program runs in a module of its own.
extern "C" EMSCRIPTEN_KEEPALIVE int orbalune_run(int argc, char** argv) {
    PageStream screenBytes(orbalune_show);
    PageStream errorBytes(orbalune_say);
    std::ostream screen(&screenBytes);
    std::ostream errors(&errorBytes);
    int status = orbalune::kExitOnFatalError;
    try {
        if (std::string_view(argv[0]) == "orbalune-replay") {
            status =
                orbalune::replay(argc, argv,
                                 orbalune::ReplayTerminal{std::cin, screen, errors,
                                                          orbalune::sleepFor, kKeyboard, kScreen});
        } else {
            const orbalune::Console console{std::cin, screen, pauseShown,
                                            static_cast<std::uint32_t>(std::time(nullptr)), ask};
            orbalune::KeptSnapshots snapshots{keptSnapshot(), keepSnapshot};
            status = orbalune::playGame(argc, argv, console, errors, kKeyboard, true, snapshots);
        }
    } catch (const std::exception& error) {
        orbalune::reportError(errors, argv[0], error.what());
    }
    screen.flush();
    errors.flush();
    return status;
}

// What the header of the `size` bytes at `bytes` says, in JSON (a string the caller frees):
// {"seed": N}, or {"failure": why they are no saved game this build plays}.
extern "C" EMSCRIPTEN_KEEPALIVE char* orbalune_header(const char* bytes, int size) {
    try {
        const orbalune::SaveHeader header =
            orbalune::parseSaveHeader(std::string_view(bytes, static_cast<std::size_t>(size)));
        return strdup((R"({"seed": )" + std::to_string(header.seed) + "}").c_str());
    } catch (const orbalune::SaveFileError& error) {
        return strdup((R"({"failure": )" + orbalune::jsonString(error.reason) + "}").c_str());
    }
}
