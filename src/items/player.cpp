#include "items/player.hpp"

#include <limits>
#include <ostream>

#include "game/depth_curve.hpp"
#include "game/saturating.hpp"

namespace orbalune {

namespace {
constexpr std::int32_t kMinStartHp = 28;
constexpr std::int32_t kMaxStartHp = 32;
constexpr std::int32_t kMinLevelHpGain = 8;
constexpr std::int32_t kMaxLevelHpGain = 12;
constexpr std::int64_t kMaxXp = std::numeric_limits<std::int64_t>::max();
}  // namespace

Player::Player(Random& random) {
    hp = random.randomInRange(kMinStartHp, kMaxStartHp);
    maxHp = hp;
}

void Player::printStats(std::ostream& out) const {
    out << "\nLV: " << level << " XP: " << xp << '/' << nextLevelXp << " HP: " << hp << '/' << maxHp
        << " Mokels: " << mokels << '\n'
        << std::flush;
}

void Player::levelUp(Random& random) {
    hp = maxHp;
    // Saturates rather than wraps; no experience total ever comes near it.
    nextLevelXp = nextLevelXp > kMaxXp / 2 ? kMaxXp : nextLevelXp * 2;
    level = saturatingAdd(level, 1);
    maxHp = saturatingAdd(maxHp, random.randomInRange(kMinLevelHpGain, kMaxLevelHpGain));
    turnDelay = turnDelayFor(level);
}

}  // namespace orbalune
