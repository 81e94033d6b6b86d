#include <ostream>

#include "dungeon/dungeon_level.hpp"

namespace orbalune {

namespace {
constexpr std::int32_t kViewRadius = 3;  // the view is 7 by 7 around the player
}

void DungeonLevel::showMap(std::ostream& out) {
    tiles[indexOf(playerRow, playerCol)] = Tile::Visited;

    for (std::int32_t row = playerRow - kViewRadius; row <= playerRow + kViewRadius; ++row) {
        out << ' ';
        for (std::int32_t col = playerCol - kViewRadius; col <= playerCol + kViewRadius; ++col) {
            char glyph = '#';
            if (!contains(row, col)) {
                glyph = '#';
            } else if (row == playerRow && col == playerCol) {
                glyph = '@';
            } else if (row == stairsRow && col == stairsCol) {
                glyph = '^';
            } else if (row == orbaluneRow && col == orbaluneCol &&
                       tileAt(row, col) == Tile::Visited) {
                // The treasure's spot is remembered once stood on, taken or not.
                glyph = '$';
            } else if (isWalkable(row, col)) {
                glyph = '.';
            }
            out << glyph;
        }
        out << '\n';
    }
    out << '\n';

    if (playerOnStairs()) {
        out << "You see some stairs here.\n";
    }
    for (const Item& item : itemsUnderPlayer()) {
        if (item.code == kOrbaluneCode) {
            out << "You see the Orbalune!\n";
        } else {
            itemLine(out << "You see a ", item) << '\n';
        }
    }
    out << std::flush;
}

}  // namespace orbalune
