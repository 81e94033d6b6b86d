#include <ostream>

#include "game/depth_curve.hpp"
#include "game/game.hpp"

namespace orbalune {

void Game::leaveDungeon() {
    inDungeon = 0;
    out() << '\n';
    if (player.isDead()) {
        // Thrown out dead: nothing is handed in, gained or healed.
        return;
    }

    std::size_t slot = 0;
    while (slot < bag.size()) {
        if (bag[slot].code != kOrbaluneCode) {
            ++slot;
            continue;
        }
        pause(pauseMs);
        out() << "You successfully retrieved the Orbalune!\n";
        removeFromBag(slot);
        const std::int64_t gain = static_cast<std::int64_t>(dungeonNumber) * 100;
        out() << "You gain " << gain << " experience points.\n";
        player.xp += gain;
        ++dungeonNumber;
        regenerateLevel = true;
        dungeon.monsterTurnDelay = turnDelayFor(dungeonNumber);
        pause(pauseMs);
    }

    while (player.levelUpDue()) {
        out() << "Congratulations! You've leveled up!\n";
        player.levelUp(random);
        pause(pauseMs);
    }
    player.hp = player.maxHp;
}

}  // namespace orbalune
