#include "platform/programs/daily_seed.hpp"

#include <chrono>
#include <cstdio>

namespace orbalune {

namespace {

// The first day a daily dungeon could have been played, and the last date of eight digits.
constexpr std::uint32_t kFirstDay = 20000101;
constexpr std::uint32_t kLastDay = 99991231;

}  // namespace

std::uint32_t dailySeed(std::time_t now) {
    using namespace std::chrono;
    const year_month_day day{floor<days>(system_clock::from_time_t(now))};
    return static_cast<std::uint32_t>(static_cast<int>(day.year())) * 10000 +
           static_cast<unsigned>(day.month()) * 100 + static_cast<unsigned>(day.day());
}

std::optional<std::string> dayOfSeed(std::uint32_t seed) {
    using namespace std::chrono;
    const year_month_day day{year{static_cast<int>(seed / 10000)}, month{seed / 100 % 100},
                             std::chrono::day{seed % 100}};
    if (seed < kFirstDay || seed > kLastDay || !day.ok()) {
        return std::nullopt;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", seed / 10000, seed / 100 % 100, seed % 100);
    return std::string(text);
}

}  // namespace orbalune
