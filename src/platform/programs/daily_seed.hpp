#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace orbalune {

// Today's dungeon: a game whose seed is the day's date in UTC, written as the number YYYYMMDD,
// so that everyone who plays on that day starts in the same dungeon.
std::uint32_t dailySeed(std::time_t now);

// The day of a daily game's seed, as YYYY-MM-DD; none if the seed is no date (a seed from the
// clock is ten digits long, no date's eight).
std::optional<std::string> dayOfSeed(std::uint32_t seed);

}  // namespace orbalune
