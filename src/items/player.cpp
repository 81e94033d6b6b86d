#include "items/player.hpp"

#include <ostream>

#include "game/depth_curve.hpp"
#include "game/saturating.hpp"

namespace orbalune {

namespace {
constexpr std::int32_t kMinStartHp = 28;
constexpr std::int32_t kMaxStartHp = 32;
constexpr std::int32_t kMinLevelHpGain = 8;
constexpr std::int32_t kMaxLevelHpGain = 12;
}  // namespace

Player::Player(Random& random) {
    hp = random.randomInRange(kMinStartHp, kMaxStartHp);
    maxHp = hp;
}

void Player::printStats(std::ostream& out) const {
    out << "\nLV: " << level << " XP: " << xp << '/' << nextLevelXp << " HP: " << hp << '/'
        << maxHp << " Mokels: " << mokels << '\n'
        << std::flush;
}

void Player::levelUp(Random& random) {
    hp = maxHp;
    nextLevelXp *= 2;
    level = saturatingAdd(level, 1);
    maxHp = saturatingAdd(maxHp, random.randomInRange(kMinLevelHpGain, kMaxLevelHpGain));
    turnDelay = turnDelayFor(level);
}

}  // namespace orbalune
