#include "dungeon/monster_catalog.hpp"

#include "game/console.hpp"

namespace orbalune {

namespace {

MonsterKind kind(std::string code, std::string name, std::int32_t minGroup, std::int32_t maxGroup,
                 std::int32_t minHP, std::int32_t maxHP, std::int32_t minDamage,
                 std::int32_t maxDamage, std::int32_t minMokels, std::int32_t maxMokels,
                 std::int32_t defense, std::int32_t experience, std::int32_t level,
                 std::int32_t encounterChance, std::int32_t accuracy, double speed,
                 std::vector<MonsterDrop> drops) {
    return MonsterKind{
        std::move(code), std::move(name),  minGroup,        maxGroup,  minHP,   maxHP,
        minDamage,       maxDamage,        minMokels,       maxMokels, defense, experience,
        level,           std::move(drops), encounterChance, speed,     accuracy};
}

}  // namespace

MonsterCatalog MonsterCatalog::build() {
    // code, name, group, hp, damage, mokels, defense, experience, level, chance, accuracy,
    // speed, drops
    return MonsterCatalog{{
        kind("ZAR", "Zarkhul", 1, 1, 10, 15, 5, 10, 20, 30, 9, 30, 5, 40, 90, 0.8,
             {{"WSW", 2}, {"GP", 2}, {"RP", 2}, {"RTU", 2}}),
        kind("YUL", "Yul", 1, 2, 1, 3, 1, 2, 0, 5, 1, 6, 1, 60, 40, 0.6,
             {{"HE", 10}, {"GP", 5}, {"RP", 2}}),
        kind("MIR", "Mirrun", 1, 1, 6, 8, 4, 6, 10, 15, 7, 20, 3, 30, 90, 0.4,
             {{"GP", 2}, {"RP", 2}, {"BTU", 1}}),
        kind("FEN", "Fennik", 1, 2, 1, 1, 1, 1, 0, 4, 0, 4, 1, 80, 60, 1.0,
             {{"HE", 10}, {"GP", 5}, {"RP", 2}}),
        kind("VOR", "Vorsand", 1, 1, 15, 20, 6, 12, 25, 35, 12, 40, 6, 20, 70, 0.9,
             {{"GP", 2}, {"RP", 2}}),
        kind("BUR", "Burrox", 1, 3, 2, 4, 2, 3, 1, 8, 3, 10, 2, 40, 70, 1.0,
             {{"HE", 10}, {"RP", 2}}),
        kind("GRU", "Grunak", 1, 2, 4, 6, 3, 4, 6, 10, 5, 14, 2, 40, 80, 0.8,
             {{"SW", 3}, {"GP", 2}, {"RP", 2}, {"BTU", 1}}),
        kind("OSK", "Oskrag", 1, 2, 6, 8, 3, 4, 8, 10, 5, 25, 4, 70, 60, 1.0,
             {{"SW", 4}, {"GP", 2}, {"RP", 2}, {"BTU", 1}}),
        kind("HOP", "Hopsel", 2, 3, 4, 6, 3, 4, 6, 10, 3, 15, 3, 60, 30, 1.7,
             {{"HE", 5}, {"GP", 2}, {"RP", 2}}),
    }};
}

std::size_t MonsterCatalog::positionOf(const std::string& code) const {
    for (std::size_t position = 0; position < kinds.size(); ++position) {
        if (kinds[position].code == code) {
            return position;
        }
    }
    throw FatalError{"Monster Not Found!\n"};
}

}  // namespace orbalune
