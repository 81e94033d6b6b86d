#pragma once

#include <cstdint>
#include <limits>

namespace orbalune {

// Money and hit points never wrap around: sums stop at the largest 32-bit value (and, for
// the negative hits that heal, at the smallest).
inline std::int32_t saturatingAdd(std::int32_t value, std::int64_t amount) {
    const std::int64_t sum = static_cast<std::int64_t>(value) + amount;
    if (sum > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (sum < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(sum);
}

}  // namespace orbalune
