#pragma once

#include <cstdint>
#include <string>

#include "platform/save_format.hpp"
#include "platform/unique_fd.hpp"

namespace orbalune {

// A saved game open for play. This process alone holds it (an exclusive flock on `fd`, released
// when the record goes), and every key the game takes is appended to it before the game acts on
// it, so that a game killed at any moment resumes at the last key it took.
struct SaveFile {
    std::string path;
    UniqueFd fd;     // open for appending
    SavedGame game;  // the seed, and the keys the file held when it was opened
    bool created = false;

    // Hands one key to the operating system with write(2); false, with errno set, if it refuses
    // (a full disk).
    [[nodiscard]] bool appendKey(char key) const;
};

// Opens the saved game at `path` for play, or creates it for a new game from `newGameSeed` when
// there is none. Creation is atomic: the file appears with its whole header or not at all.
// Throws SaveFileError (the file left as it was) when it cannot be opened, created or locked, or
// is not a saved game of this format and these rules.
SaveFile openSaveFile(const std::string& path, std::uint32_t newGameSeed);

// Reads a saved game without playing it, for replaying and inspecting; the same checks and
// messages as openSaveFile, but no lock, so that a game in progress can be read.
SavedGame readSaveFile(const std::string& path);

}  // namespace orbalune
