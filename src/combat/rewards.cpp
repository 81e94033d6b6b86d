#include <ostream>

#include "combat/encounter.hpp"
#include "game/game.hpp"
#include "game/saturating.hpp"

namespace orbalune {

void Encounter::defeatMonster(std::int32_t monster) {
    const MonsterKind& kind = kindOf(monster);
    std::ostream& out = game.out();

    game.pause(game.pauseMs);
    out << "The " << kind.name << " is defeated!\n";
    xpEarned = saturatingAdd(xpEarned, kind.experience);
    --remaining[game.monsterCatalog.positionOf(kind.code)];

    const std::int32_t mokels = game.random.randomInRange(kind.minMokels, kind.maxMokels);
    if (mokels > 0) {
        mokelsDropped = saturatingAdd(mokelsDropped, mokels);
        game.pause(game.pauseMs);
        out << "It dropped " << mokels << pluralize(" mokel", mokels) << "!\n";
    }

    for (const MonsterDrop& drop : kind.drops) {
        if (game.random.percentDraw() < drop.chance) {
            loot.push_back(game.itemCatalog.findItem(drop.itemCode));
            game.pause(game.pauseMs);
            out << "It dropped a " << loot.back().name << "!\n";
        }
    }
}

void Encounter::winEncounter() {
    std::ostream& out = game.out();
    Player& player = game.player;

    out << "\nYou won!\n";
    game.pause(game.pauseMs);
    if (mokelsDropped > 0) {
        out << "You picked up " << mokelsDropped << pluralize(" mokel", mokelsDropped) << "!\n";
        game.pause(game.pauseMs);
        player.mokels = saturatingAdd(player.mokels, mokelsDropped);
    }
    // The loot lands on the floor of the fight's tile, to be picked up like anything else.
    DungeonLevel& level = game.dungeon;
    for (Item& item : loot) {
        game.pause(game.pauseMs);
        level.putItem(level.playerRow, level.playerCol, std::move(item));
    }
    out << "You gained " << xpEarned << " XP!\n";
    player.xp += xpEarned;
    // However far past the threshold, one victory brings at most one level.
    if (player.levelUpDue()) {
        player.levelUp(game.random);
        out << "\nYou leveled up!! You are now at level " << player.level << "!\n";
        out << "Your HP have been restored.\n";
        game.pause(game.pauseMs);
    }
}

void Encounter::loseEncounter() {
    game.player.hp = 0;
    game.out() << "\nThe monsters won!\n"
               << "Oddly, instead of tearing you apart limb from limb,\n"
               << "they pick you up and throw you out of the dungeon.\n";
    game.leaveDungeon();
}

}  // namespace orbalune
