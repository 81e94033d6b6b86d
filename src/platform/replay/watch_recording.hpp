#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "platform/replay/recording.hpp"
#include "platform/saved_games/saved_keys.hpp"

namespace orbalune {

// The smallest terminal a recording asks for, however narrow the game's lines.
inline constexpr std::size_t kRecordingColumns = 80;
inline constexpr std::size_t kRecordingRows = 24;

// Writes a saved game to `out` as a recording of watching it `speed` times as fast: what the
// watcher's terminal receives, each part at the moment it would show. Returns the game's status.
int recordWatch(const std::string& file, std::uint32_t seed, SavedKeys& keys,
                RecordingFormat format, double speed, std::ostream& out);

}  // namespace orbalune
