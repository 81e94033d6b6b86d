#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/os/file_system.hpp"
#include "platform/os/unique_fd.hpp"

namespace orbalune {

// Creates the saved game `path` for a new game from `seed`: the file, open for appending and
// locked by this process, or nothing when another game created `path` first. Throws
// SaveFileError when it cannot be created.
//
// The file never replaces another, and it appears with its whole header or not at all, but on
// a file system that can neither name an unnamed file, link nor rename without replacing: there
// it is created in place, and a game killed in the instant before its header is written leaves
// a file too short to be a saved game, refused as one. Nothing a game leaves when killed while
// creating is ever a whole saved game.
std::optional<UniqueFd> createSaveFile(const std::string& path, std::uint32_t seed,
                                       const os::NamingCalls& calls = os::systemNamingCalls());

// The directory a saved game's name is in.
std::string directoryOf(const std::string& path);

}  // namespace orbalune
