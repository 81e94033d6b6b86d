#include "bench/capacity/game_plan.hpp"

#include <sstream>

#include "game/game.hpp"
#include "support/bot.hpp"

namespace orbalune::capacity {

namespace {

// Keys enough for any budget of waits the benchmark asks for: a fight waits about a second.
constexpr std::size_t kBotKeyBudget = 600;

struct Wait {
    std::size_t keysTaken;
    std::size_t offset;
    std::int32_t ms;
};

// Plays `keys` at once, noting each wait: where it came in the keys and in the screen.
std::vector<Wait> waitsOf(std::uint32_t seed, const std::string& keys) {
    std::istringstream in(keys);
    std::ostringstream screen;
    std::vector<Wait> waits;
    auto note = [&](std::int32_t ms) {
        waits.push_back(
            {static_cast<std::size_t>(in.tellg()), static_cast<std::size_t>(screen.tellp()), ms});
    };
    Game(Console{in, screen, note, seed}).run();
    return waits;
}

}  // namespace

GamePlan planGame(std::uint32_t seed, std::chrono::milliseconds waiting) {
    testing::Bot bot(seed, kBotKeyBudget);
    bot.play();
    GamePlan plan{seed, bot.typed, {}, 0};
    std::int64_t total = 0;
    for (const Wait& wait : waitsOf(seed, plan.keys)) {
        total += wait.ms;
        if (total > waiting.count()) {
            // Cut before the key that led to this wait.
            plan.keys.resize(wait.keysTaken > 0 ? wait.keysTaken - 1 : 0);
            break;
        }
    }
    for (const Wait& wait : waitsOf(seed, plan.keys)) {
        if (wait.ms <= 0) {
            continue;
        }
        if (!plan.waits.empty() && plan.waits.back().offset == wait.offset) {
            plan.waits.back().ms += wait.ms;
        } else {
            plan.waits.push_back({wait.offset, wait.ms});
        }
        plan.waitedMs += wait.ms;
    }
    return plan;
}

}  // namespace orbalune::capacity
