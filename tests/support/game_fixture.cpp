#include "support/game_fixture.hpp"

namespace orbalune::testing {

Session::Session(std::uint32_t seed)
    : game(Console{in, out,
                   [this](std::int32_t ms) {
                       pauses.push_back(ms);
                       if (markPauses) {
                           out << "{pause " << ms << '}';
                       }
                   },
                   seed}) {}

void Session::type(const std::string& keys) {
    in.clear();
    in.str(keys);
}

int Session::play(const std::string& keys) {
    type(keys);
    return game.run();
}

std::string Session::takeOutput() {
    std::string text = out.str();
    out.str("");
    return text;
}

void useHandMadeLevel(Game& game, const std::vector<std::string>& rows) {
    DungeonLevel& level = game.dungeon;
    level.height = static_cast<std::int32_t>(rows.size());
    level.width = static_cast<std::int32_t>(rows.front().size());
    level.tiles.assign(static_cast<std::size_t>(level.width * level.height), Tile::Rock);
    level.floorItems.clear();
    level.dungeonNumber = game.dungeonNumber;
    bool playerPlaced = false;
    for (std::int32_t row = 0; row < level.height; ++row) {
        for (std::int32_t col = 0; col < level.width; ++col) {
            const char glyph = rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
            if (glyph == '#') {
                continue;
            }
            level.tiles[level.indexOf(row, col)] = Tile::Floor;
            if (glyph == '^') {
                level.stairsRow = row;
                level.stairsCol = col;
            } else if (glyph == '$') {
                level.orbaluneRow = row;
                level.orbaluneCol = col;
                level.putItem(row, col, game.itemCatalog.findItem(kOrbaluneCode));
            } else if (glyph == '@') {
                level.playerRow = row;
                level.playerCol = col;
                playerPlaced = true;
            }
        }
    }
    if (!playerPlaced) {
        level.playerRow = level.stairsRow;
        level.playerCol = level.stairsCol;
    }
    game.inDungeon = 1;
    game.regenerateLevel = false;
}

std::string transcript(std::uint32_t seed, const std::string& keys) {
    Session session(seed);
    session.markPauses = true;
    session.play(keys);
    return session.takeOutput();
}

}  // namespace orbalune::testing
