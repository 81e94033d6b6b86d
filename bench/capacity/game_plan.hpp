#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orbalune::capacity {

// A wait the game makes, found where its screen stands still: after its first `offset` bytes.
// Waits with nothing shown between them are one.
struct PlannedWait {
    std::size_t offset = 0;
    std::int32_t ms = 0;
};

// One game to run: a seed, the keys a sensible player types in it, cut where its waits reach
// what was asked, and the waits those keys make.
struct GamePlan {
    std::uint32_t seed = 0;
    std::string keys;
    std::vector<PlannedWait> waits;
    std::int64_t waitedMs = 0;  // all the waits together
};

// Plans the game from `seed`, with waits adding up to no more than `waiting`.
GamePlan planGame(std::uint32_t seed, std::chrono::milliseconds waiting);

}  // namespace orbalune::capacity
