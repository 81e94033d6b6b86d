#pragma once

#include <cstdint>

#include "game/depth_curve.hpp"

namespace orbalune {

// The percent chances of a fight. A percent test succeeds when a draw of 0..100 is below the
// chance, so a chance of p lets p of the 101 draws through.

inline constexpr std::int32_t kManyMonsters = 5;  // from this many, running is twice as hard

// Monsters come more often near the Orbalune's tile and less often deeper down: `distance` from
// it and the level's `diagonal`, both in tiles.
inline std::int32_t encounterChance(double distance, double diagonal, std::int32_t dungeonNumber) {
    const double base = 100.0 - 50.0 / depthFactor(dungeonNumber);
    return static_cast<std::int32_t>((1.0 - distance / (diagonal * 0.5)) * base);
}

// Whether a monster kind of the given base chance joins a group, for a draw of 0..100.
inline bool joinsGroup(std::int32_t kindChance, std::int32_t dungeonNumber, std::int32_t draw) {
    return kindChance * depthFactor(dungeonNumber) > draw;
}

// The player's chance to hit a monster of the given defense.
inline std::int32_t attackHitChance(std::int32_t dungeonNumber, std::int32_t playerLevel,
                                    std::int32_t defense) {
    return static_cast<std::int32_t>(
        depthFactor(dungeonNumber) * static_cast<double>(playerLevel - defense) + 90.0);
}

// The chance to run away from monsters of `averageLevel`, with `monsterCount` created so far.
inline double runAwayChance(std::int32_t dungeonNumber, std::int32_t playerLevel,
                            double averageLevel, std::int32_t monsterCount) {
    const double chance = ((playerLevel - averageLevel) * 10.0 + 50.0) / depthFactor(dungeonNumber);
    return monsterCount >= kManyMonsters ? chance * 0.5 : chance;
}

}  // namespace orbalune
