#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "items/item.hpp"

namespace orbalune {

struct MonsterDrop {
    ItemCode itemCode;
    std::int32_t chance = 0;  // percent
};

struct MonsterKind {
    std::string code;
    std::string name;
    std::int32_t minGroup = 1;
    std::int32_t maxGroup = 1;
    std::int32_t minHP = 1;
    std::int32_t maxHP = 1;
    std::int32_t minDamage = 0;
    std::int32_t maxDamage = 0;
    std::int32_t minMokels = 0;
    std::int32_t maxMokels = 0;
    std::int32_t defense = 0;
    std::int32_t experience = 0;
    std::int32_t level = 1;  // lowest dungeon number where the kind appears
    std::vector<MonsterDrop> drops;
    std::int32_t encounterChance = 0;
    double speed = 1.0;  // larger acts more often
    std::int32_t accuracy = 0;
};

// The nine monster kinds. Their order is part of the game (encounters walk it), and it is
// deliberately not the alphabetical order of their codes.
struct MonsterCatalog {
    std::vector<MonsterKind> kinds;

    static MonsterCatalog build();

    // The catalog position of a code taken from this catalog.
    [[nodiscard]] std::size_t positionOf(const std::string& code) const;
    [[nodiscard]] const MonsterKind& find(const std::string& code) const {
        return kinds[positionOf(code)];
    }
};

}  // namespace orbalune
