#pragma once

#include <cstddef>
#include <map>

#include "platform/saved_games/game_snapshot.hpp"

namespace orbalune {

// Snapshots of a watched game taken as it plays, at least `spacing` bytes of keys apart, so that
// going anywhere plays at most about that many keys instead of the game from its start. Past
// `budget` bytes of snapshots, every other one is let go and the spacing doubles: the memory
// stays within the budget however long the game.
class SnapshotIndex {
public:
    static constexpr std::size_t kSpacing = 1024;
    static constexpr std::size_t kBudget = std::size_t{8} << 20;

    struct Entry {
        std::size_t position;  // keys taken, blanks not counted
        GameSnapshot snapshot;
    };

    explicit SnapshotIndex(std::size_t spacing = kSpacing, std::size_t budget = kBudget)
        : spacing_(spacing), budget_(budget) {}

    // Whether a snapshot after `taken` bytes of keys would be of use: none is near it.
    [[nodiscard]] bool wants(std::size_t taken) const;
    void add(std::size_t position, GameSnapshot snapshot);
    // The last snapshot taken before `taken` bytes of keys, or none.
    [[nodiscard]] const Entry* before(std::size_t taken) const;

    [[nodiscard]] std::size_t bytes() const { return bytes_; }
    [[nodiscard]] std::size_t size() const { return entries_.size(); }

private:
    static std::size_t sizeOf(const Entry& entry) {
        return sizeof(Entry) + entry.snapshot.screen.text.size() + entry.snapshot.game.size();
    }
    void thin();

    std::size_t spacing_;
    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::map<std::size_t, Entry> entries_;  // by snapshot.taken
};

}  // namespace orbalune
