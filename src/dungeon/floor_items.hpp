#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "items/item.hpp"

namespace orbalune {

// The items lying on a level's tiles. Only tiles that hold items cost anything: the items are
// kept in one list sorted by tile index (each tile's items in the order they were put there),
// with a parallel list of their tile indexes. Rebuilding a level reuses the storage.
struct FloorItems {
    std::vector<std::size_t> tiles;  // tiles[i] is the tile index where items[i] lies
    std::vector<Item> items;

    void clear() {
        tiles.clear();
        items.clear();
    }

    [[nodiscard]] bool empty() const { return items.empty(); }

    [[nodiscard]] std::span<const Item> at(std::size_t tile) const {
        const auto [first, last] = rangeOf(tile);
        return {items.data() + first, last - first};
    }

    // Appends `item` after whatever already lies on `tile`.
    void put(std::size_t tile, Item item) {
        const auto position = rangeOf(tile).second;
        tiles.insert(tiles.begin() + static_cast<std::ptrdiff_t>(position), tile);
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
    }

    // Removes and returns the item at `position` among those on `tile`; the rest keep order.
    Item take(std::size_t tile, std::size_t position) {
        const auto at = static_cast<std::ptrdiff_t>(rangeOf(tile).first + position);
        Item taken = std::move(items[static_cast<std::size_t>(at)]);
        items.erase(items.begin() + at);
        tiles.erase(tiles.begin() + at);
        return taken;
    }

private:
    [[nodiscard]] std::pair<std::size_t, std::size_t> rangeOf(std::size_t tile) const {
        const auto [first, last] = std::equal_range(tiles.begin(), tiles.end(), tile);
        return {static_cast<std::size_t>(first - tiles.begin()),
                static_cast<std::size_t>(last - tiles.begin())};
    }
};

}  // namespace orbalune
