#include "platform/saved_games/save_creation.hpp"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string_view>

#include "platform/os/file_locks.hpp"
#include "platform/os/files.hpp"
#include "platform/os/write_all.hpp"
#include "platform/saved_games/save_format.hpp"

namespace orbalune {

namespace {

// What came of one way of creating the file.
enum class Outcome {
    Created,
    Taken,        // another game created the file first
    Unsupported,  // the file system cannot do it this way: try the next
};

// Beside the saved game, so that linking or renaming it stays on one file system; short, so
// that a saved game may have the longest name the directory takes.
constexpr std::string_view kTemporaryName = ".orbalune-new-XXXXXX";
constexpr std::string_view kTemporaryPrefix = ".orbalune-new-";
// A creation takes a moment; a temporary name older than this was left by a game killed while it
// created its file.
constexpr std::time_t kLeftoverAgeSeconds = 60;

[[noreturn]] void refuseToCreate(int error) {
    throw SaveFileError{std::string("cannot create: ") + std::strerror(error)};
}

// What a new file is created with: the system takes the umask off, or, in a folder with a
// default access list, gives the file that list (a shared games folder's, which lets the web
// server read every game whatever the player's umask).
constexpr mode_t kNewFileMode = 0666;

// Creates a file of a new name like `pattern` (its X's replaced), with kNewFileMode, as mkstemp
// does but for the mode: mkstemp's 0600 would hide the file from a shared folder's access list.
UniqueFd createTemporary(std::string& pattern) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device entropy;
    const std::size_t first = pattern.find_last_not_of('X') + 1;  // the folder's X's stay
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t at = first; at < pattern.size(); ++at) {
            pattern[at] = kLetters[entropy() % kLetters.size()];
        }
        UniqueFd file = os::createNew(pattern, kNewFileMode);
        if (file || errno != EEXIST) {
            return file;
        }
    }
    errno = EEXIST;
    return {};
}

// Locks a new file and writes `bytes` to it; 0, or the errno of the step that failed. No one
// else has the file open yet, so its lock is had at once, and held once it has a name.
int lockAndWrite(int fd, std::string_view bytes) {
    if (const int error = os::lockForPlay(fd, true); error != 0) {
        return error;
    }
    return writeAll(fd, bytes) ? 0 : errno;
}

Outcome outcomeOf(int error) {
    if (error == 0) {
        return Outcome::Created;
    }
    if (error == EEXIST) {
        return Outcome::Taken;
    }
    if (os::isUnsupported(error)) {
        return Outcome::Unsupported;
    }
    refuseToCreate(error);
}

// A file without a name, filled, then named: nothing of it is seen, or left behind, before it
// is whole.
Outcome throughUnnamedFile(const std::string& path, std::string_view header,
                           const os::NamingCalls& calls, UniqueFd& file) {
    const int error = calls.createUnnamed(directoryOf(path), kNewFileMode, file);
    if (error != 0) {
        return outcomeOf(error);
    }
    if (const int failed = lockAndWrite(file.get(), header); failed != 0) {
        refuseToCreate(failed);
    }
    return outcomeOf(calls.nameUnnamed(file.get(), path));
}

// Removes the temporary names that games of this player's left in `directory` when they were
// killed while they created their files (a file system without unnamed files), and that no
// creation still uses. Best effort: a leftover that cannot be removed stays.
void removeLeftovers(const std::string& directory) {
    std::error_code error;
    const std::time_t now = std::time(nullptr);
    for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string path = entry->path().string();
        os::FileFacts facts;
        if (name.size() == kTemporaryName.size() && name.starts_with(kTemporaryPrefix) &&
            os::factsAt(path, false, facts) == 0 && facts.kind == os::FileKind::Regular &&
            facts.ownedByPlayer && now - facts.modified > kLeftoverAgeSeconds) {
            os::removeFile(path);
        }
    }
}

// A file under a temporary name, given its own by a link or by a rename that never replaces.
// The header's last byte is written only once the file has its name, so that a temporary left
// by a game killed in between is never a whole saved game.
Outcome throughTemporaryName(const std::string& path, std::string_view header,
                             const os::NamingCalls& calls, UniqueFd& file) {
    removeLeftovers(directoryOf(path));
    std::string temporary = directoryOf(path) + "/" + std::string(kTemporaryName);
    file = createTemporary(temporary);
    if (!file) {
        refuseToCreate(errno);
    }
    int error = lockAndWrite(file.get(), header.substr(0, header.size() - 1));
    if (error != 0) {
        os::removeFile(temporary);
        refuseToCreate(error);
    }
    error = calls.hardLink(temporary, path);
    if (error == 0) {
        os::removeFile(temporary);
    } else if (os::isUnsupported(error)) {
        error = calls.renameNoReplace(temporary, path);
    }
    if (error != 0) {
        os::removeFile(temporary);
        return outcomeOf(error);
    }
    if (!writeAll(file.get(), header.substr(header.size() - 1))) {
        error = errno;
        os::removeFile(path);  // ours, and locked: no one else has played it
        refuseToCreate(error);
    }
    return Outcome::Created;
}

// Where a whole file cannot be named at once: created in place, exclusively, then filled.
Outcome inPlace(const std::string& path, std::string_view header, UniqueFd& file) {
    file = os::createNew(path, kNewFileMode);
    if (!file && errno == EEXIST) {
        return Outcome::Taken;
    }
    if (!file) {
        refuseToCreate(errno);
    }
    if (const int error = lockAndWrite(file.get(), header); error != 0) {
        os::removeFile(path);
        refuseToCreate(error);
    }
    return Outcome::Created;
}

}  // namespace

std::string directoryOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

std::optional<UniqueFd> createSaveFile(const std::string& path, std::uint32_t seed,
                                       const os::NamingCalls& calls) {
    const std::string header = saveHeader(seed);
    UniqueFd file;
    Outcome outcome = throughUnnamedFile(path, header, calls, file);
    if (outcome == Outcome::Unsupported) {
        outcome = throughTemporaryName(path, header, calls, file);
    }
    if (outcome == Outcome::Unsupported) {
        outcome = inPlace(path, header, file);
    }
    if (outcome == Outcome::Taken) {
        return std::nullopt;
    }
    return file;
}

}  // namespace orbalune
