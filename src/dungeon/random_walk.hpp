#pragma once

#include <cstdint>

#include "game/random.hpp"

namespace orbalune {

// The walk that carves a level: it goes straight on or turns a quarter, never back, and
// never onto the level's outer ring.
struct RandomWalk {
    // Directions sharing a remainder modulo 2 lie on the same axis.
    enum Direction : std::int32_t { North = 0, West = 1, South = 2, East = 3 };

    std::int32_t col = 0;
    std::int32_t row = 0;
    std::int32_t previous = North;  // the direction of the last step that moved
    std::int32_t width = 0;
    std::int32_t height = 0;

    // Draws a direction and moves one tile if the ring allows it. Returns whether it moved;
    // a blocked step keeps the position and the previous direction.
    bool step(Random& random) {
        std::int32_t direction = random.next() % 4;
        if (direction % 2 == previous % 2) {
            direction = previous;
        }
        bool moved = false;
        switch (direction) {
            case North:
                moved = row > 1;
                row -= moved ? 1 : 0;
                break;
            case West:
                moved = col > 1;
                col -= moved ? 1 : 0;
                break;
            case South:
                moved = row < height - 2;
                row += moved ? 1 : 0;
                break;
            default:
                moved = col < width - 2;
                col += moved ? 1 : 0;
                break;
        }
        if (moved) {
            previous = direction;
        }
        return moved;
    }
};

}  // namespace orbalune
