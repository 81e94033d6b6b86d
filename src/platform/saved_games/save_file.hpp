#pragma once

#include <cstdint>
#include <string>

#include "platform/os/file_system.hpp"
#include "platform/os/unique_fd.hpp"
#include "platform/saved_games/save_format.hpp"
#include "platform/saved_games/saved_keys.hpp"

namespace orbalune {

// A saved game open for play. This process alone holds it (an exclusive flock on `fd`, released
// when the record goes), and every key the game takes is appended to it before the game acts on
// it, so that a game killed at any moment resumes at the last key it took.
struct SaveFile {
    std::string path;
    UniqueFd fd;  // open for appending
    std::uint32_t seed = 0;
    SavedKeys keys;  // those the file held when it was opened, read from `fd`
    bool created = false;
    // Written but perhaps only in the kernel's cache, lost if the power goes.
    bool unsynced = false;

    // Hands one key to the operating system with write(2); false, with errno set, if it refuses
    // (a full disk).
    [[nodiscard]] bool appendKey(char key);
    // Puts what was written on the disk itself, and for a new file its name too; false, with
    // errno set, if the disk refuses.
    [[nodiscard]] bool makeDurable();
};

// Opens the saved game at `path` for play, or creates it for a new game from `newGameSeed` when
// there is none (see createSaveFile).
// Throws SaveFileError (the file left as it was) when it cannot be opened, created or locked, or
// is not a saved game of this format and these rules.
// `calls` are how a new file is named: the system's, but in tests.
SaveFile openSaveFile(const std::string& path, std::uint32_t newGameSeed,
                      const os::NamingCalls& calls = os::systemNamingCalls());

// A saved game open for reading only, as it is now and as it grows: no lock is taken, so that a
// game in progress can be read while it is played.
struct SaveReader {
    UniqueFd fd;
    std::uint32_t seed = 0;
    std::uint64_t keysStart = 0;  // the byte its keys start at

    // Its keys, read from the file as they are asked for.
    [[nodiscard]] SavedKeys keys() const { return {fd.get(), keysStart}; }
    // Whether a game plays the file now: one holds an exclusive lock on it. The look at the
    // lock is so brief that a game starting meanwhile, which waits a moment for it, still does.
    [[nodiscard]] bool beingPlayed() const;
};

// Opens a saved game for reading and reads its header; the same checks and messages as
// openSaveFile.
SaveReader openSaveReader(const std::string& path);

}  // namespace orbalune
