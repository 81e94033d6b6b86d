#include "combat/turn_queue.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <queue>
#include <vector>

#include "game/random.hpp"
#include "support/digest.hpp"

namespace orbalune::testing {
namespace {

// A fight's worth of pushes and pops in a random mix, with times drawn from so few values
// that most of them tie. Returns the actors in the order they came out.
template <typename Queue>
std::vector<std::int32_t> playOut(Queue& queue, std::uint32_t seed) {
    Random random(seed);
    std::vector<std::int32_t> order;
    for (std::int32_t step = 0; step < 20000; ++step) {
        if (queue.empty() || random.next() % 3 != 0) {
            queue.push({step, random.next() % 8});
        } else {
            order.push_back(queue.top().actor);
            queue.pop();
        }
    }
    while (!queue.empty()) {
        order.push_back(queue.top().actor);
        queue.pop();
    }
    return order;
}

std::uint64_t digestOf(const std::vector<std::int32_t>& order) {
    Digest digest;
    for (const std::int32_t actor : order) {
        digest.add(static_cast<std::uint32_t>(actor));
    }
    return digest.value();
}

// The order of ties decides recorded games, so it must be the one every game so far was played
// with: that of libstdc++'s priority_queue. The digests pin it on builds with other libraries.
TEST(TurnQueue, HandsOutTiesInTheOrderOfEveryRecordedGame) {
    const std::vector<std::pair<std::uint32_t, std::uint64_t>> digests = {
        {1, 2668721947890936942ULL}, {2, 744883979711558540ULL}, {3, 15100376551730101302ULL}};
    for (const auto& [seed, expected] : digests) {
        TurnQueue queue;
        const std::vector<std::int32_t> order = playOut(queue, seed);
        EXPECT_EQ(digestOf(order), expected) << "seed " << seed;
#ifdef __GLIBCXX__
        struct Later {
            bool operator()(const TurnEvent& a, const TurnEvent& b) const {
                return a.time > b.time;
            }
        };
        std::priority_queue<TurnEvent, std::vector<TurnEvent>, Later> reference;
        EXPECT_EQ(order, playOut(reference, seed)) << "seed " << seed;
#endif
    }
}

}  // namespace
}  // namespace orbalune::testing
