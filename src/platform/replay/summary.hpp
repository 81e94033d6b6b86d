#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/saved_games/save_format.hpp"

namespace orbalune {

// Where a saved game stands at its end, and what it went through, as its summary tells it.
struct GameRecord {
    std::string file;
    std::uint32_t seed = 0;
    std::size_t keys = 0;  // blanks, which the game passes over, not counted
    std::int32_t dungeon = 1;
    bool inDungeon = false;
    std::int32_t level = 1;
    std::int32_t hp = 0;
    std::int32_t maxHp = 0;
    std::int32_t mokels = 0;
    std::int32_t orbalunes = 0;  // carried out of the dungeon alive
    std::int32_t deaths = 0;
    std::int32_t resurrections = 0;
    const char* now = "";                // what the game is doing: in town, in a fight, dead, ...
    int status = 0;                      // the game's, played through
    std::optional<std::string> failure;  // why the file could not be read, if it could not
};

// Reads a saved game and plays it through silently; a file that cannot be read gets a record
// that says why. Whether a game plays the file now: as `beingPlayed` says, where the caller
// knows better than the file's lock (a web page, of a game followed on a server).
GameRecord recordOf(const std::string& file, std::optional<bool> beingPlayed = std::nullopt);

// One game in two lines: what the file is, and where the game stands.
void writeSummary(const GameRecord& record, std::ostream& out);
// Several games, one row each under a header row, in columns, the deepest dungeon first; the
// files that could not be read last, with the reason.
void writeTable(std::vector<GameRecord> records, std::ostream& out);

}  // namespace orbalune
