#include "platform/replay/summary.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "game/game.hpp"
#include "game/rules_version.hpp"
#include "platform/programs/daily_seed.hpp"
#include "platform/replay/silent_play.hpp"
#include "platform/saved_games/save_file.hpp"
#include "platform/terminal/shown_text.hpp"
#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

namespace {

// What a game is doing at its end, the first that holds.
constexpr const char* kBeingPlayed = "being played now";
constexpr const char* kDead = "dead";
constexpr const char* kInAFight = "in a fight";
constexpr const char* kInTheDungeon = "in the dungeon";
constexpr const char* kInTown = "in town";

std::string counted(std::int64_t count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

// The columns of the table: a title, and whether the values line up on the right (numbers).
struct Column {
    const char* title;
    bool numeric;
};
constexpr std::array<Column, 11> kColumns = {{{"FILE", false},
                                              {"SEED", true},
                                              {"KEYS", true},
                                              {"DUNGEON", true},
                                              {"LEVEL", true},
                                              {"HP", true},
                                              {"MOKELS", true},
                                              {"ORBALUNES", true},
                                              {"DEATHS", true},
                                              {"RESURRECTIONS", true},
                                              {"NOW", false}}};

// A daily game's seed is its day.
std::string seedText(std::uint32_t seed) {
    return dayOfSeed(seed).value_or(std::to_string(seed));
}

std::vector<std::string> cellsOf(const GameRecord& record, bool utf8) {
    return {shownText(record.file, utf8),
            seedText(record.seed),
            std::to_string(record.keys),
            std::to_string(record.dungeon),
            std::to_string(record.level),
            std::to_string(record.hp) + '/' + std::to_string(record.maxHp),
            std::to_string(record.mokels),
            std::to_string(record.orbalunes),
            std::to_string(record.deaths),
            std::to_string(record.resurrections),
            record.now};
}

// How many columns of a terminal `text` takes: a character of several bytes takes one.
std::size_t widthOf(std::string_view text, bool utf8) {
    return utf8 ? static_cast<std::size_t>(std::count_if(
                      text.begin(), text.end(),
                      [](char byte) { return (static_cast<unsigned char>(byte) & 0xc0) != 0x80; }))
                : text.size();
}

// A saved game played through; `beingPlayed`: whether a game holds its file.
GameRecord playedThrough(const std::string& file, const SaveReader& saved, bool beingPlayed) {
    GameRecord record;
    record.file = file;
    record.seed = saved.seed;
    bool wasDead = false;
    SavedKeys keys = saved.keys();
    record.status = playSilently(keys, saved.seed, [&](const Game& game, std::size_t taken) {
        record.keys = taken;
        const bool dead = game.player.isDead();
        record.deaths += dead && !wasDead ? 1 : 0;
        record.resurrections += !dead && wasDead ? 1 : 0;
        wasDead = dead;
        // Looked at once more at the end: the game as it stands.
        const Player& player = game.player;
        record.dungeon = game.dungeonNumber;
        record.inDungeon = game.inDungeon == 1;
        record.level = player.level;
        record.hp = player.hp;
        record.maxHp = player.maxHp;
        record.mokels = player.mokels;
        // Each Orbalune carried out opens the next dungeon.
        record.orbalunes = game.dungeonNumber - 1;
        record.now = beingPlayed                         ? kBeingPlayed
                     : dead                              ? kDead
                     : game.reading == Game::Menu::Fight ? kInAFight
                     : record.inDungeon                  ? kInTheDungeon
                                                         : kInTown;
    });
    return record;
}

}  // namespace

GameRecord recordOf(const std::string& file, std::optional<bool> beingPlayed) {
    try {
        const SaveReader reader = openSaveReader(file);
        return playedThrough(file, reader, beingPlayed ? *beingPlayed : reader.beingPlayed());
    } catch (const SaveFileError& error) {
        GameRecord record;
        record.file = file;
        record.failure = error.reason;
        return record;
    }
}

void writeSummary(const GameRecord& record, std::ostream& out) {
    out << shownText(record.file, localeSpeaksUtf8()) << ": seed " << record.seed;
    if (const std::optional<std::string> day = dayOfSeed(record.seed)) {
        out << " (the daily dungeon of " << *day << ')';
    }
    out << ", " << counted(static_cast<std::int64_t>(record.keys), "key", "keys")
        << ", rules version " << kRulesVersion << '\n';
    out << record.now << ": ";
    if (record.inDungeon) {
        out << "dungeon #" << record.dungeon;
    } else {
        out << "next dungeon #" << record.dungeon;
    }
    out << ", character level " << record.level << ", " << record.hp << '/' << record.maxHp
        << " HP, " << counted(record.mokels, "mokel", "mokels") << ", "
        << counted(record.orbalunes, "Orbalune", "Orbalunes") << " carried out, "
        << counted(record.deaths, "death", "deaths") << ", "
        << counted(record.resurrections, "resurrection", "resurrections") << '\n';
}

void writeTable(std::vector<GameRecord> records, std::ostream& out) {
    std::stable_sort(records.begin(), records.end(), [](const GameRecord& a, const GameRecord& b) {
        if (a.failure.has_value() != b.failure.has_value()) {
            return !a.failure.has_value();
        }
        return a.dungeon > b.dungeon;
    });
    const bool utf8 = localeSpeaksUtf8();
    // The header and a row a game; a file that could not be read has its name and the reason.
    std::vector<std::vector<std::string>> rows(1);
    for (const Column& column : kColumns) {
        rows.front().emplace_back(column.title);
    }
    for (const GameRecord& record : records) {
        rows.push_back(record.failure ? std::vector<std::string>{shownText(record.file, utf8),
                                                                 shownText(*record.failure, utf8)}
                                      : cellsOf(record, utf8));
    }
    std::array<std::size_t, kColumns.size()> widths{};
    for (const std::vector<std::string>& row : rows) {
        const std::size_t aligned = row.size() == kColumns.size() ? row.size() : 1;
        for (std::size_t column = 0; column < aligned; ++column) {
            widths[column] = std::max(widths[column], widthOf(row[column], utf8));
        }
    }
    for (const std::vector<std::string>& row : rows) {
        if (row.size() != kColumns.size()) {
            out << row[0] << "  " << row[1] << '\n';
            continue;
        }
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string gap(widths[column] - widthOf(row[column], utf8), ' ');
            const bool last = column + 1 == row.size();
            out << (column > 0 ? "  " : "") << (kColumns[column].numeric ? gap : "") << row[column]
                << (kColumns[column].numeric || last ? "" : gap);
        }
        out << '\n';
    }
}

}  // namespace orbalune
