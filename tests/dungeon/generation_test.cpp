#include <gtest/gtest.h>

#include <algorithm>

#include "dungeon/dungeon_level.hpp"
#include "dungeon/random_walk.hpp"

namespace orbalune {
namespace {

struct Generated {
    DungeonLevel level;
    std::int64_t walkable = 0;
};

Generated generate(std::int32_t n, std::uint32_t seed) {
    static const ItemCatalog catalog = ItemCatalog::build();
    Random random(seed);
    Generated result;
    result.level.generateLevel(n, random, catalog);
    result.walkable = std::count_if(result.level.tiles.begin(), result.level.tiles.end(),
                                    [](Tile tile) { return tile != Tile::Rock; });
    return result;
}

// What every level must keep, whatever its size.
void expectSoundLevel(const DungeonLevel& level) {
    for (std::int32_t row = 0; row < level.height; ++row) {
        for (std::int32_t col = 0; col < level.width; ++col) {
            const bool ring =
                row == 0 || col == 0 || row == level.height - 1 || col == level.width - 1;
            if (ring) {
                ASSERT_EQ(level.tileAt(row, col), Tile::Rock) << row << "," << col;
            }
        }
    }
    EXPECT_TRUE(level.isWalkable(level.stairsRow, level.stairsCol));
    EXPECT_TRUE(level.isWalkable(level.orbaluneRow, level.orbaluneCol));
    EXPECT_FALSE(level.orbaluneRow == level.stairsRow && level.orbaluneCol == level.stairsCol);
    const auto orbalune = level.itemsAt(level.orbaluneRow, level.orbaluneCol);
    EXPECT_TRUE(std::any_of(orbalune.begin(), orbalune.end(),
                            [](const Item& item) { return item.code == kOrbaluneCode; }));
    for (const std::size_t index : level.floorItems.tiles) {
        EXPECT_NE(level.tiles[index], Tile::Rock);
    }
    EXPECT_EQ(level.floorItems.items.size(), 2U) << "the Orbalune and the bonus item";
}

TEST(Generation, SizesGrowWithTheDungeonNumber) {
    for (const auto& [n, minWidth, maxWidth, minHeight, maxHeight] :
         {std::tuple{1, 13, 16, 13, 15}, {2, 14, 20, 14, 18}}) {
        std::int32_t seenMinWidth = 1000, seenMaxWidth = 0, seenMinHeight = 1000, seenMaxHeight = 0;
        for (std::uint32_t seed = 0; seed < 300; ++seed) {
            const Generated generated = generate(n, seed);
            seenMinWidth = std::min(seenMinWidth, generated.level.width);
            seenMaxWidth = std::max(seenMaxWidth, generated.level.width);
            seenMinHeight = std::min(seenMinHeight, generated.level.height);
            seenMaxHeight = std::max(seenMaxHeight, generated.level.height);
        }
        EXPECT_EQ(seenMinWidth, minWidth);
        EXPECT_EQ(seenMaxWidth, maxWidth);
        EXPECT_EQ(seenMinHeight, minHeight);
        EXPECT_EQ(seenMaxHeight, maxHeight);
    }
}

TEST(Generation, DrawsSizeThenStairsInThatOrder) {
    Random reference(99);
    const std::int32_t width = reference.next() % 16 + 17;
    const std::int32_t height = reference.next() % 11 + 17;
    const std::int32_t stairsCol = reference.next() % (width - 2) + 1;
    const std::int32_t stairsRow = reference.next() % (height - 2) + 1;
    const Generated generated = generate(5, 99);
    EXPECT_EQ(generated.level.width, width);
    EXPECT_EQ(generated.level.height, height);
    EXPECT_EQ(generated.level.stairsCol, stairsCol);
    EXPECT_EQ(generated.level.stairsRow, stairsRow);
    EXPECT_EQ(generated.level.dungeonNumber, 5);
}

TEST(Generation, CarvesAThirdOfTheGridAndKeepsTheRingOfRock) {
    for (std::int32_t n = 1; n <= 12; ++n) {
        for (std::uint32_t seed = 0; seed < 20; ++seed) {
            const Generated generated = generate(n, seed * 7919 + static_cast<std::uint32_t>(n));
            const DungeonLevel& level = generated.level;
            EXPECT_EQ(generated.walkable, std::int64_t{level.width} * level.height / 3);
            expectSoundLevel(level);
        }
    }
}

TEST(Generation, ASmallestLevelHasFiftySixTiles) {
    std::uint32_t seed = 0;
    while (generate(1, seed).level.width != 13 || generate(1, seed).level.height != 13) {
        ++seed;
    }
    const Generated generated = generate(1, seed);
    EXPECT_EQ(generated.walkable, 56);
    expectSoundLevel(generated.level);
}

TEST(Generation, BonusItemDependsOnTheDungeonNumber) {
    for (const auto& [n, code] : {std::pair{1, "GP"},
                                  {2, "SW"},
                                  {3, "SS"},
                                  {4, "GP"},
                                  {5, "WSW"},
                                  {7, "GF"},
                                  {9, "MSW"},
                                  {11, "EC"},
                                  {12, "GP"}}) {
        const DungeonLevel level = generate(n, 4242).level;
        std::vector<std::string> codes;
        for (const Item& item : level.floorItems.items) {
            codes.push_back(item.code);
        }
        std::sort(codes.begin(), codes.end());
        std::vector<std::string> expected = {kOrbaluneCode, code};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(codes, expected) << "dungeon " << n;
    }
}

TEST(Generation, RegeneratingDiscardsTheOldLevel) {
    static const ItemCatalog catalog = ItemCatalog::build();
    Random random(3);
    DungeonLevel level;
    level.generateLevel(1, random, catalog);
    level.putItem(level.stairsRow, level.stairsCol, catalog.findItem("SW"));
    level.generateLevel(2, random, catalog);
    expectSoundLevel(level);
}

TEST(Generation, AStuckWalkEndsAndTheLevelStaysSound) {
    // So deep, the walk falls into a cycle of the generator's low bits long before it has
    // carved a third of the grid.
    const Generated generated = generate(1000, 12345);
    const DungeonLevel& level = generated.level;
    EXPECT_GE(level.width, 1012);
    EXPECT_LE(level.width, 4012);
    EXPECT_LT(generated.walkable, std::int64_t{level.width} * level.height / 3);
    expectSoundLevel(level);
    EXPECT_EQ(level.tiles.size(), static_cast<std::size_t>(level.width) * level.height)
        << "one byte a tile";
}

TEST(RandomWalk, NeverReversesAndABlockedStepKeepsItsDirection) {
    Random random(8);
    RandomWalk walk{1, 1, RandomWalk::North, 6, 6};  // a 4 by 4 room: many blocked steps
    std::int32_t blocked = 0;
    for (int step = 0; step < 10000; ++step) {
        const RandomWalk before = walk;
        if (walk.step(random)) {
            EXPECT_NE(walk.previous, (before.previous + 2) % 4) << "reversed at step " << step;
            EXPECT_EQ(std::abs(walk.col - before.col) + std::abs(walk.row - before.row), 1);
        } else {
            ++blocked;
            EXPECT_EQ(walk.previous, before.previous);
            EXPECT_EQ(walk.col, before.col);
            EXPECT_EQ(walk.row, before.row);
        }
        EXPECT_GE(walk.col, 1);
        EXPECT_LE(walk.col, 4);
        EXPECT_GE(walk.row, 1);
        EXPECT_LE(walk.row, 4);
    }
    EXPECT_GT(blocked, 0);
}

TEST(RandomWalk, OnRowOneNorthIsBlocked) {
    Random random(0);
    Random reference(0);
    // Find a draw that goes north from a walk heading north.
    while (reference.next() % 4 % 2 != 0) {
        random.next();
    }
    RandomWalk walk{3, 1, RandomWalk::North, 8, 8};
    EXPECT_FALSE(walk.step(random));
    EXPECT_EQ(walk.row, 1);
}

}  // namespace
}  // namespace orbalune
