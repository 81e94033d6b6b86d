#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <vector>

#include "dungeon/floor_items.hpp"
#include "game/random.hpp"
#include "items/item.hpp"
#include "items/item_catalog.hpp"

namespace orbalune {

// One byte a tile: levels deep in the dungeon have millions of them.
enum class Tile : std::uint8_t { Rock = 0, Visited = 1, Floor = 2 };

// The one dungeon level of a game, regenerated in place for each new dungeon number.
struct DungeonLevel {
    static constexpr std::int32_t kStartingMonsterTurnDelay = 5000;

    std::vector<Tile> tiles;  // row-major, `height` rows of `width` tiles
    FloorItems floorItems;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t stairsCol = 0;
    std::int32_t stairsRow = 0;
    std::int32_t orbaluneCol = 0;
    std::int32_t orbaluneRow = 0;
    std::int32_t playerCol = 0;
    std::int32_t playerRow = 0;
    std::int32_t dungeonNumber = 0;
    std::int32_t monsterTurnDelay = kStartingMonsterTurnDelay;

    // Discards the old level and everything on it and carves a new one for dungeon number n.
    void generateLevel(std::int32_t n, Random& random, const ItemCatalog& catalog);

    [[nodiscard]] bool contains(std::int32_t row, std::int32_t col) const {
        return row >= 0 && row < height && col >= 0 && col < width;
    }
    [[nodiscard]] std::size_t indexOf(std::int32_t row, std::int32_t col) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(col);
    }
    // Outside the grid counts as rock.
    [[nodiscard]] Tile tileAt(std::int32_t row, std::int32_t col) const {
        return contains(row, col) ? tiles[indexOf(row, col)] : Tile::Rock;
    }
    [[nodiscard]] bool isWalkable(std::int32_t row, std::int32_t col) const {
        return tileAt(row, col) != Tile::Rock;
    }

    [[nodiscard]] bool playerOnStairs() const {
        return playerCol == stairsCol && playerRow == stairsRow;
    }

    [[nodiscard]] std::span<const Item> itemsAt(std::int32_t row, std::int32_t col) const {
        return contains(row, col) ? floorItems.at(indexOf(row, col)) : std::span<const Item>{};
    }
    void putItem(std::int32_t row, std::int32_t col, Item item) {
        floorItems.put(indexOf(row, col), std::move(item));
    }
    // Removes and returns the item at `position` of the tile's list; later items move up.
    Item takeItem(std::int32_t row, std::int32_t col, std::size_t position) {
        return floorItems.take(indexOf(row, col), position);
    }

    [[nodiscard]] std::span<const Item> itemsUnderPlayer() const {
        return itemsAt(playerRow, playerCol);
    }

    // Marks the player's tile visited and prints the 7 by 7 view and what lies here.
    void showMap(std::ostream& out);
};

}  // namespace orbalune
