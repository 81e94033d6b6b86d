#pragma once

#include <string>
#include <vector>

#include "combat/encounter.hpp"
#include "support/game_fixture.hpp"

namespace orbalune::testing {

// A corridor whose Orbalune tile is where the player stands, for fights in dungeon 1.
inline void standOnTheOrbalune(Game& game) {
    useHandMadeLevel(game, {"#######", "#^.$..#", "#######"});
    game.dungeon.playerRow = game.dungeon.orbaluneRow;
    game.dungeon.playerCol = game.dungeon.orbaluneCol;
}

// Adds monsters of the given kinds to a fight as group selection would, without its draws.
inline void addMonsters(Encounter& encounter, const std::vector<std::string>& codes) {
    const MonsterCatalog& catalog = encounter.game.monsterCatalog;
    for (const std::string& code : codes) {
        encounter.createMonster(catalog.find(code));
        ++encounter.remaining[catalog.positionOf(code)];
    }
}

}  // namespace orbalune::testing
