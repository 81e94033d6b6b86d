#pragma once

#include <cstdint>

namespace orbalune {

// The game's one random generator: a 32-bit linear congruential generator whose draws are
// bits 16..30 of the state. Replays depend on this exact sequence, so it never changes.
struct Random {
    std::uint32_t state = 0;

    explicit Random(std::uint32_t seed) : state(seed) {}

    // One draw, 0 to 32767.
    std::int32_t next() {
        state = state * 214013U + 2531011U;
        return static_cast<std::int32_t>((state >> 16) & 32767U);
    }

    // One draw folded into lo..hi inclusive.
    std::int32_t randomInRange(std::int32_t lo, std::int32_t hi) {
        return next() % (hi - lo + 1) + lo;
    }

    // One draw out of 0..100, so p percent succeeds on p of the 101 values.
    std::int32_t percentDraw() { return next() % 101; }
};

}  // namespace orbalune
