#include "dungeon/dungeon_level.hpp"

#include <array>

namespace orbalune {

namespace {

// A walk that has carved nothing for this many steps in a row is stuck in a cycle of the
// generator's low bits and would never reach its target: the level is finished as it is.
constexpr std::uint32_t kMaxStepsWithoutCarving = 1U << 20;

// Each dungeon number has its own bonus item; all others get a green potion.
struct BonusItem {
    std::int32_t dungeonNumber;
    const char* code;
};
constexpr std::array<BonusItem, 6> kBonusItems = {{
    {2, "SW"},
    {3, "SS"},
    {5, "WSW"},
    {7, "GF"},
    {9, "MSW"},
    {11, "EC"},
}};
constexpr const char* kDefaultBonusItem = "GP";

const char* bonusItemFor(std::int32_t n) {
    for (const BonusItem& bonus : kBonusItems) {
        if (bonus.dungeonNumber == n) {
            return bonus.code;
        }
    }
    return kDefaultBonusItem;
}

// Walk directions: same remainder modulo 2 means same axis.
enum Direction : std::int32_t { North = 0, West = 1, South = 2, East = 3 };

}  // namespace

void DungeonLevel::generateLevel(std::int32_t n, Random& random, const ItemCatalog& catalog) {
    dungeonNumber = n;
    tiles.clear();
    floorItems.clear();

    width = random.next() % (3 * n + 1) + n + 12;
    height = random.next() % (2 * n + 1) + n + 12;
    tiles.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Tile::Rock);

    stairsCol = random.next() % (width - 2) + 1;
    stairsRow = random.next() % (height - 2) + 1;
    tiles[indexOf(stairsRow, stairsCol)] = Tile::Floor;

    // The random walk from the stairs: straight on or a quarter turn, never back.
    const std::int64_t target = static_cast<std::int64_t>(width) * height / 3;
    std::int64_t carved = 1;
    std::int32_t col = stairsCol;
    std::int32_t row = stairsRow;
    std::int32_t lastCarvedCol = col;
    std::int32_t lastCarvedRow = row;
    std::int32_t previous = random.next() % 4;
    std::uint32_t stepsWithoutCarving = 0;
    Tile* const grid = tiles.data();
    const auto stride = static_cast<std::size_t>(width);
    while (carved < target && stepsWithoutCarving < kMaxStepsWithoutCarving) {
        std::int32_t direction = random.next() % 4;
        if (direction % 2 == previous % 2) {
            direction = previous;
        }
        bool moved = false;
        switch (direction) {
            case North:
                moved = row > 1;
                row -= moved ? 1 : 0;
                break;
            case West:
                moved = col > 1;
                col -= moved ? 1 : 0;
                break;
            case South:
                moved = row < height - 2;
                row += moved ? 1 : 0;
                break;
            default:
                moved = col < width - 2;
                col += moved ? 1 : 0;
                break;
        }
        Tile& tile = grid[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(col)];
        if (tile == Tile::Rock) {
            tile = Tile::Floor;
            ++carved;
            lastCarvedCol = col;
            lastCarvedRow = row;
            stepsWithoutCarving = 0;
        } else {
            ++stepsWithoutCarving;
        }
        if (moved) {
            previous = direction;
        }
    }

    orbaluneCol = lastCarvedCol;
    orbaluneRow = lastCarvedRow;
    putItem(orbaluneRow, orbaluneCol, catalog.findItem(kOrbaluneCode));

    std::int32_t bonusCol = 0;
    std::int32_t bonusRow = 0;
    do {
        bonusCol = random.next() % width;
        bonusRow = random.next() % height;
    } while (!isWalkable(bonusRow, bonusCol));
    putItem(bonusRow, bonusCol, catalog.findItem(bonusItemFor(n)));
}

std::span<const Item> DungeonLevel::itemsAt(std::int32_t row, std::int32_t col) const {
    if (!contains(row, col)) {
        return {};
    }
    const auto found = floorItems.find(indexOf(row, col));
    if (found == floorItems.end()) {
        return {};
    }
    return found->second;
}

void DungeonLevel::putItem(std::int32_t row, std::int32_t col, Item item) {
    floorItems[indexOf(row, col)].push_back(std::move(item));
}

Item DungeonLevel::takeItem(std::int32_t row, std::int32_t col, std::size_t position) {
    const auto found = floorItems.find(indexOf(row, col));
    std::vector<Item>& items = found->second;
    Item taken = std::move(items[position]);
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(position));
    if (items.empty()) {
        floorItems.erase(found);
    }
    return taken;
}

}  // namespace orbalune
