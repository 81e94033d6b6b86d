// The page's reader of saved games, a module of its own beside the game's: it sums games up for
// the board, and plays a game's file through to the snapshot it resumes from. It never waits for
// keys, the clock or the page, so it is built without the page module's way of waiting
// (Asyncify) and with WebAssembly's own exceptions: it reads several times faster.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>

#include "game/console.hpp"
#include "platform/programs/daily_seed.hpp"
#include "platform/programs/game_program.hpp"
#include "platform/replay/recording.hpp"
#include "platform/replay/summary.hpp"
#include "platform/saved_games/game_snapshot.hpp"
#include "platform/saved_games/save_file.hpp"
#include "platform/terminal/progress_line.hpp"

// The progress line's bytes, for the page's terminal while a long game is read.
EM_JS(void, orbalune_progress, (const char* bytes, int size), {
    if (Module.progress)
        Module.progress(HEAPU8.slice(bytes, bytes + size));
});

namespace {

// Hands what `text` holds to the page's terminal, and empties it.
void showProgress(std::ostringstream& text) {
    const std::string bytes = text.str();
    if (!bytes.empty()) {
        orbalune_progress(bytes.data(), static_cast<int>(bytes.size()));
        text.str({});
    }
}

char* copyOf(const std::string& bytes) {
    char* copy = static_cast<char*>(std::malloc(bytes.size()));
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

}  // namespace

// Where the saved game at `path` stands, as --info says it, in JSON (a string the caller frees):
// its seed (and its day, for a daily game's), keys, dungeon, level, hit points, mokels,
// Orbalunes, deaths and resurrections, what it is doing now, or why it could not be read.
// `live`: whether a game plays it now, as the page knows.
extern "C" EMSCRIPTEN_KEEPALIVE char* orbalune_record(const char* path, int live) {
    const orbalune::GameRecord record = orbalune::recordOf(path, live != 0);
    std::ostringstream json;
    if (record.failure) {
        json << R"({"failure": )" << orbalune::jsonString(*record.failure) << '}';
    } else {
        const std::optional<std::string> day = orbalune::dayOfSeed(record.seed);
        json << R"({"seed": )" << record.seed << R"(, "day": )"
             << (day ? orbalune::jsonString(*day) : "null") << R"(, "keys": )" << record.keys
             << R"(, "dungeon": )" << record.dungeon << R"(, "level": )" << record.level
             << R"(, "hp": )" << record.hp << R"(, "maxHp": )" << record.maxHp << R"(, "mokels": )"
             << record.mokels << R"(, "orbalunes": )" << record.orbalunes << R"(, "deaths": )"
             << record.deaths << R"(, "resurrections": )" << record.resurrections << R"(, "now": )"
             << orbalune::jsonString(record.now) << '}';
    }
    return strdup(json.str().c_str());
}

// The snapshot the game saved at `path` resumes from, as the game itself hands it over when it
// has caught up with the file: its bytes (the caller frees them) and their count in `size`, or
// null when there is none (a file that is no saved game, or one too short to have reached a
// command). A long file's progress is shown on the last of `rows` rows of `columns` columns.
extern "C" EMSCRIPTEN_KEEPALIVE char* orbalune_snapshot_at_end(const char* path, int rows,
                                                               int columns, int* size) {
    std::size_t total = 0;
    try {
        total = orbalune::openSaveReader(path).keys().size();
    } catch (const orbalune::SaveFileError&) {
        return nullptr;  // the game says why, when it opens the file
    }
    std::ostringstream progressText;
    orbalune::ProgressLine progress(progressText, rows, columns,
                                    orbalune::ProgressLine::Clock::now());
    std::optional<std::string> latest;
    orbalune::KeptSnapshots snapshots{std::nullopt, [&](const orbalune::GameSnapshot& snapshot) {
                                          latest = snapshot.encode();
                                          progress.update(snapshot.taken, total,
                                                          orbalune::ProgressLine::Clock::now());
                                          showProgress(progressText);
                                      }};
    // No keys after the file's: the game catches up, is asked for its next command, and ends.
    std::istringstream noKeys;
    std::ostringstream screen;
    std::ostringstream errors;
    const orbalune::Console console{noKeys, screen, [](std::int32_t /*ms*/) {}, 0};
    std::string program = "orbalune";
    std::string option = "--save";
    std::string file = path;
    std::array<char*, 4> argv = {program.data(), option.data(), file.data(), nullptr};
    orbalune::playGame(3, argv.data(), console, errors, -1, false, snapshots);
    progress.clear();
    showProgress(progressText);
    if (!latest) {
        return nullptr;
    }
    *size = static_cast<int>(latest->size());
    return copyOf(*latest);
}
