#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>

#include "game/natural_log.hpp"

namespace orbalune {

// Every recorded game depends on the exact doubles below, truncated to whole numbers: each
// operation must round once, to double, on every processor the game is built for.
static_assert(std::numeric_limits<double>::is_iec559, "the game needs IEEE 754 doubles");
static_assert(FLT_EVAL_METHOD == 0,
              "doubles must be computed in double precision (on 32-bit x86, use SSE2)");

// Most pacing and difficulty formulas grow with ln(n + 1.72) of a level or dungeon number.
inline double depthLog(std::int32_t n) {
    return naturalLog(static_cast<double>(n) + 1.72);
}

// 1 / ln(n + 1.72): the combat formulas divide by this rather than multiply by the logarithm.
inline double depthFactor(std::int32_t n) {
    return 1.0 / depthLog(n);
}

// 5000 × ln(n + 1.72) milliseconds, evaluated as a division by the factor and truncated; the
// player's pace after a level-up and the monsters' base pace of a dungeon number.
inline std::int32_t turnDelayFor(std::int32_t n) {
    return static_cast<std::int32_t>(5000.0 / depthFactor(n));
}

// The store's buy-back rate in percent: less the deeper the game has gone.
inline double sellPercentFor(std::int32_t dungeonNumber) {
    return 80.0 / depthLog(dungeonNumber);
}

// What the store pays for an item: the untruncated rate, not the whole percent it shows.
inline std::int32_t buyBackAmount(std::int32_t price, double sellPercent) {
    return static_cast<std::int32_t>(static_cast<double>(price) * (sellPercent * 0.01));
}

}  // namespace orbalune
