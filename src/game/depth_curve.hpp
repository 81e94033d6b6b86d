#pragma once

#include <cmath>
#include <cstdint>

namespace orbalune {

// Most pacing and difficulty formulas grow with ln(n + 1.72) of a level or dungeon number.
inline double depthLog(std::int32_t n) {
    return std::log(static_cast<double>(n) + 1.72);
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

}  // namespace orbalune
