#include <ostream>

#include "combat/chances.hpp"
#include "combat/encounter.hpp"
#include "game/game.hpp"

namespace orbalune {

namespace {
constexpr std::int32_t kSpinChancePerBonus = 5;  // percent per point of weapon bonus
}  // namespace

bool Encounter::attack() {
    std::ostream& out = game.out();
    std::int32_t target = 0;
    do {
        target = game.random.next() % monsterCount;
    } while (monsterHp[static_cast<std::size_t>(target)] <= 0);
    const MonsterKind& kind = kindOf(target);

    // Without a weapon the player fights with bare hands, as if they were equipped.
    const Item* equipped = game.equippedItem(game.equippedWeapon);
    const Item weapon = equipped != nullptr ? *equipped : game.itemCatalog.findItem(kBareHandsCode);

    out << "\nYou attack a " << kind.name << " with your " << weapon.name << "...";
    game.pause(game.pauseMs);

    const std::int32_t hitChance =
        attackHitChance(game.dungeonNumber, game.player.level, kind.defense);
    if (game.random.percentDraw() >= hitChance) {
        out << " and miss!\n";
        return false;
    }

    const std::int32_t extra = game.random.next() % (weapon.bonus + 1);
    const std::int32_t base = game.random.next() % (weapon.maxDamage - weapon.minDamage + 1);
    const std::int32_t damage = weapon.minDamage + base + extra;
    std::int32_t lost = damage;
    if (game.random.percentDraw() < weapon.bonus * kSpinChancePerBonus) {
        lost = 2 * damage;
        out << "\nand hit with a SPIN ATTACK!! (" << damage << "x2=" << lost << " damage)\n";
    } else {
        out << " and hit! (" << damage << " damage)\n";
    }

    std::int32_t& hp = monsterHp[static_cast<std::size_t>(target)];
    hp -= lost;
    if (hp <= 0) {
        defeatMonster(target);
    }
    return false;
}

bool Encounter::useItem() {
    game.useMenu();
    // A recall potion has carried the player out: the fight is over, with no rewards.
    return game.inDungeon != 1;
}

bool Encounter::runAway() {
    std::ostream& out = game.out();
    double sum = 0.0;
    for (std::size_t position = 0; position < remaining.size(); ++position) {
        sum += game.monsterCatalog.kinds[position].level * remaining[position];
    }
    // Dead monsters stay in the divisor, so each defeat makes escape easier.
    const double average = sum / monsterCount;
    const double chance =
        runAwayChance(game.dungeonNumber, game.player.level, average, monsterCount);
    if (game.random.percentDraw() < chance) {
        out << "\nYou ran away!\n";
        return true;
    }
    out << "\nYou couldn't run away!\n";
    return false;
}

}  // namespace orbalune
