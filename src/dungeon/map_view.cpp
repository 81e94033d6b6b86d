#include <array>
#include <cstddef>
#include <ostream>

#include "dungeon/dungeon_level.hpp"

namespace orbalune {

namespace {
constexpr std::int32_t kViewRadius = 3;  // the view is 7 by 7 around the player
}

void DungeonLevel::showMap(std::ostream& out) {
    tiles[indexOf(playerRow, playerCol)] = Tile::Visited;

    // The window is written whole, in one piece: a write per cell costs more than the cell.
    constexpr std::size_t kWidth = 2 * static_cast<std::size_t>(kViewRadius) + 1;
    std::array<char, (kWidth + 2) * kWidth + 1> window{};
    std::size_t at = 0;
    for (std::int32_t row = playerRow - kViewRadius; row <= playerRow + kViewRadius; ++row) {
        window[at++] = ' ';
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
            window[at++] = glyph;
        }
        window[at++] = '\n';
    }
    window[at++] = '\n';
    out.write(window.data(), static_cast<std::streamsize>(at));

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
