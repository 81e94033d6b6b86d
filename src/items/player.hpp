#pragma once

#include <cstdint>
#include <iosfwd>

#include "game/random.hpp"

namespace orbalune {

struct Player {
    // Experience is 64-bit so that the doubling threshold never overflows.
    std::int64_t xp = 0;
    std::int64_t nextLevelXp = 100;
    std::int32_t level = 1;
    std::int32_t mokels = 0;
    std::int32_t hp = 0;  // 0 or less: dead
    std::int32_t maxHp = 0;
    std::int32_t armorClass = 0;
    std::int32_t resurrectionFee = 1;
    std::int32_t turnDelay = 0;  // milliseconds; the player's pace in a fight

    // Draws the starting hit points, 28 to 32.
    explicit Player(Random& random);

    [[nodiscard]] bool isDead() const { return hp <= 0; }
    [[nodiscard]] bool levelUpDue() const { return xp >= nextLevelXp; }

    // How many items the bag may hold.
    [[nodiscard]] std::int32_t bagCapacity() const { return 2 * level + 4; }

    void printStats(std::ostream& out) const;

    // Restores hp to the old maximum, then raises the level, the maximum and the pace.
    void levelUp(Random& random);
};

}  // namespace orbalune
