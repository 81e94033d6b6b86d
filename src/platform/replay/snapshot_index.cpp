#include "platform/replay/snapshot_index.hpp"

#include <iterator>
#include <utility>

namespace orbalune {

bool SnapshotIndex::wants(std::size_t taken) const {
    const auto after = entries_.lower_bound(taken);
    if (after != entries_.end() && after->first - taken < spacing_) {
        return false;
    }
    return after == entries_.begin() || taken - std::prev(after)->first >= spacing_;
}

void SnapshotIndex::add(std::size_t position, GameSnapshot snapshot) {
    const std::size_t taken = snapshot.taken;
    Entry entry{position, std::move(snapshot)};
    bytes_ += sizeOf(entry);
    if (const auto old = entries_.find(taken); old != entries_.end()) {
        bytes_ -= sizeOf(old->second);
        entries_.erase(old);
    }
    entries_.emplace(taken, std::move(entry));
    while (bytes_ > budget_ && entries_.size() > 1) {
        thin();
    }
}

const SnapshotIndex::Entry* SnapshotIndex::before(std::size_t taken) const {
    const auto after = entries_.lower_bound(taken);
    return after == entries_.begin() ? nullptr : &std::prev(after)->second;
}

// Keeps the snapshots the doubled spacing wants, walking from the first.
void SnapshotIndex::thin() {
    spacing_ *= 2;
    std::size_t kept = 0;
    bool first = true;
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        if (!first && entry->first - kept < spacing_) {
            bytes_ -= sizeOf(entry->second);
            entry = entries_.erase(entry);
            continue;
        }
        first = false;
        kept = entry->first;
        ++entry;
    }
}

}  // namespace orbalune
