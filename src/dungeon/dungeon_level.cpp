#include "dungeon/dungeon_level.hpp"

#include <array>

#include "dungeon/random_walk.hpp"

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

}  // namespace

void DungeonLevel::generateLevel(std::int32_t n, Random& random, const ItemCatalog& catalog) {
    dungeonNumber = n;
    floorItems.clear();

    width = random.next() % (3 * n + 1) + n + 12;
    height = random.next() % (2 * n + 1) + n + 12;
    tiles.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Tile::Rock);

    stairsCol = random.next() % (width - 2) + 1;
    stairsRow = random.next() % (height - 2) + 1;
    tiles[indexOf(stairsRow, stairsCol)] = Tile::Floor;

    // The random walk from the stairs carves a third of the grid.
    const std::int64_t target = static_cast<std::int64_t>(width) * height / 3;
    std::int64_t carved = 1;
    RandomWalk walk{stairsCol, stairsRow, random.next() % 4, width, height};
    std::int32_t lastCarvedCol = walk.col;
    std::int32_t lastCarvedRow = walk.row;
    std::uint32_t stepsWithoutCarving = 0;
    Tile* const grid = tiles.data();
    const auto stride = static_cast<std::size_t>(width);
    while (carved < target && stepsWithoutCarving < kMaxStepsWithoutCarving) {
        walk.step(random);
        Tile& tile =
            grid[static_cast<std::size_t>(walk.row) * stride + static_cast<std::size_t>(walk.col)];
        if (tile == Tile::Rock) {
            tile = Tile::Floor;
            ++carved;
            lastCarvedCol = walk.col;
            lastCarvedRow = walk.row;
            stepsWithoutCarving = 0;
        } else {
            ++stepsWithoutCarving;
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

}  // namespace orbalune
