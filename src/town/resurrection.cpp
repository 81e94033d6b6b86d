#include <limits>
#include <ostream>

#include "game/game.hpp"

namespace orbalune {

namespace {
// The fee doubles with every resurrection but stops at the largest 32-bit value.
std::int32_t doubledFee(std::int32_t fee) {
    constexpr std::int32_t kMaxFee = std::numeric_limits<std::int32_t>::max();
    return fee > kMaxFee / 2 ? kMaxFee : fee * 2;
}
}  // namespace

void Game::resurrect() {
    if (!player.isDead()) {
        out() << "\nDude, you're not dead.\n";
        return;
    }
    out() << "\nIt has cost you " << player.resurrectionFee << " mokels.\n";
    if (player.mokels < player.resurrectionFee) {
        out() << "\nDude, you can't afford it.  I'm afraid your game is over.\n";
        return;
    }
    pause(pauseMs);
    player.mokels -= player.resurrectionFee;
    player.resurrectionFee = doubledFee(player.resurrectionFee);
    out() << "\nBut...dude, you're alive again!\n";
    player.hp = player.maxHp;
    // Back in town alive: a carried Orbalune is handed in now, and due levels are gained.
    leaveDungeon();
}

}  // namespace orbalune
