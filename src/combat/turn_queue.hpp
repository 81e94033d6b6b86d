#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orbalune {

// One entry of the fight clock's queue.
struct TurnEvent {
    static constexpr std::int32_t kPlayer = -1;

    std::int32_t actor = kPlayer;  // the player, or a monster index
    std::int64_t time = 0;         // milliseconds of fight time
};

// The fight clock's queue: a binary heap in a vector, earliest event on top.
//
// Which of two events with the same time comes out first decides who strikes first, so the
// order of ties is part of every recorded game. It is fixed here, not left to a standard
// library's heap: sifting up stops at a parent that is not later, and sifting down moves the
// hole to the later-indexed child unless that child is strictly later than its sibling, then
// sifts the displaced last event up from the leaf it reached. Every game recorded so far was
// played in exactly this order.
struct TurnQueue {
    std::vector<TurnEvent> heap;

    [[nodiscard]] bool empty() const { return heap.empty(); }
    [[nodiscard]] std::size_t size() const { return heap.size(); }
    [[nodiscard]] const TurnEvent& top() const { return heap.front(); }

    void push(const TurnEvent& event) {
        heap.push_back(event);
        siftUp(heap.size() - 1, 0, event);
    }

    void pop() {
        const TurnEvent last = heap.back();
        heap.pop_back();
        if (heap.empty()) {
            return;
        }
        const std::size_t length = heap.size();
        std::size_t hole = 0;
        std::size_t child = 0;
        while (child < (length - 1) / 2) {
            child = 2 * (child + 1);
            if (later(heap[child], heap[child - 1])) {
                --child;
            }
            heap[hole] = heap[child];
            hole = child;
        }
        // With an even length the last parent has a left child only.
        if (length % 2 == 0 && child == (length - 2) / 2) {
            child = 2 * (child + 1);
            heap[hole] = heap[child - 1];
            hole = child - 1;
        }
        siftUp(hole, 0, last);
    }

private:
    static bool later(const TurnEvent& a, const TurnEvent& b) { return a.time > b.time; }

    // Puts `event` into the hole at `hole`, moving later parents down until `top`.
    void siftUp(std::size_t hole, std::size_t top, const TurnEvent& event) {
        while (hole > top) {
            const std::size_t parent = (hole - 1) / 2;
            if (!later(heap[parent], event)) {
                break;
            }
            heap[hole] = heap[parent];
            hole = parent;
        }
        heap[hole] = event;
    }
};

}  // namespace orbalune
