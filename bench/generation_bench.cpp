// Level generation against a bare baseline that makes the same random draws and the same grid
// writes over a plain byte array, and the cost of entering a very deep dungeon.
#include <benchmark/benchmark.h>

#include <sstream>
#include <vector>

#include "dungeon/dungeon_level.hpp"
#include "dungeon/random_walk.hpp"
#include "game/game.hpp"

namespace orbalune {
namespace {

constexpr std::uint32_t kSeeds[] = {11, 22, 33, 44, 55, 66, 77, 88};
constexpr std::uint32_t kStuckWalk = 1U << 20;

// The generator's draws and writes and nothing else: no level record, no items.
std::size_t baselineLevel(std::int32_t n, Random& random, std::vector<std::uint8_t>& grid) {
    const std::int32_t width = random.next() % (3 * n + 1) + n + 12;
    const std::int32_t height = random.next() % (2 * n + 1) + n + 12;
    grid.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    RandomWalk walk{random.next() % (width - 2) + 1, random.next() % (height - 2) + 1, 0, width,
                    height};
    grid[static_cast<std::size_t>(walk.row) * width + walk.col] = 2;
    walk.previous = random.next() % 4;
    const std::int64_t target = static_cast<std::int64_t>(width) * height / 3;
    std::int64_t carved = 1;
    for (std::uint32_t idle = 0; carved < target && idle < kStuckWalk;) {
        walk.step(random);
        std::uint8_t& tile = grid[static_cast<std::size_t>(walk.row) * width + walk.col];
        idle = tile == 0 ? 0 : idle + 1;
        carved += tile == 0 ? 1 : 0;
        tile = 2;
    }
    std::int32_t col = 0;
    std::int32_t row = 0;
    do {
        col = random.next() % width;
        row = random.next() % height;
    } while (grid[static_cast<std::size_t>(row) * width + col] == 0);
    return grid.size();
}

void BM_Baseline(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    std::vector<std::uint8_t> grid;
    std::size_t seed = 0;
    for (auto _ : state) {
        Random random(kSeeds[seed++ % std::size(kSeeds)]);
        benchmark::DoNotOptimize(baselineLevel(n, random, grid));
        benchmark::ClobberMemory();
    }
}

void BM_GenerateLevel(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const ItemCatalog catalog = ItemCatalog::build();
    DungeonLevel level;
    std::size_t seed = 0;
    double bytesPerTile = 0;
    for (auto _ : state) {
        Random random(kSeeds[seed++ % std::size(kSeeds)]);
        level.generateLevel(n, random, catalog);
        benchmark::ClobberMemory();
        const std::size_t items = level.floorItems.items.capacity() * sizeof(Item) +
                                  level.floorItems.tiles.capacity() * sizeof(std::size_t);
        bytesPerTile = static_cast<double>(level.tiles.capacity() * sizeof(Tile) + items +
                                           sizeof(DungeonLevel)) /
                       static_cast<double>(level.tiles.size());
    }
    state.counters["bytes_per_tile"] = bytesPerTile;
}

// Entering dungeon 1000 from town, as a game that got that deep would.
void BM_EnterDungeon1000(benchmark::State& state) {
    std::istringstream in;
    std::ostringstream out;
    std::size_t seed = 0;
    double megabytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Game game(Console{in, out, nullptr, kSeeds[seed++ % std::size(kSeeds)]});
        game.dungeonNumber = 1000;
        state.ResumeTiming();
        game.enterDungeon();
        benchmark::ClobberMemory();
        megabytes = static_cast<double>(game.dungeon.tiles.capacity()) / 1e6;
    }
    state.counters["level_MB"] = megabytes;
}

BENCHMARK(BM_Baseline)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GenerateLevel)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterDungeon1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orbalune
