#include "platform/saved_games/save_file.hpp"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/os/file_locks.hpp"
#include "platform/os/file_system.hpp"
#include "platform/os/files.hpp"
#include "platform/os/write_all.hpp"
#include "platform/saved_games/save_creation.hpp"

namespace orbalune {

namespace {

// A missing file found on opening may be created by another game before this one creates it;
// opening is then tried again, a few times at most.
constexpr int kOpenAttempts = 3;

// A file's lock may be held for a moment by someone following its game; a game waits this many
// times this long for it before it takes the file to be in use by another game.
constexpr int kLockAttempts = 20;
constexpr auto kLockRetryDelay = std::chrono::milliseconds(10);

[[noreturn]] void refuseFor(const char* what, int error) {
    throw SaveFileError{std::string(what) + ": " + std::strerror(error)};
}

// Only a regular file is a saved game.
void requireRegular(const os::FileFacts& facts) {
    if (facts.kind != os::FileKind::Regular) {
        throw SaveFileError{facts.kind == os::FileKind::Directory ? "is a directory"
                                                                  : "not a regular file"};
    }
}

// Whether the path names a file, followed through links. Anything but a regular file is refused
// by what is known of it before it is opened, so that opening a FIFO or a device has no effect.
bool regularFileAt(const std::string& path) {
    os::FileFacts facts;
    const int error = os::factsAt(path, true, facts);
    if (error == 0) {
        requireRegular(facts);
        return true;
    }
    if (error == ENOENT && os::factsAt(path, false, facts) == 0) {
        throw SaveFileError{"is a broken symbolic link"};
    }
    if (error != ENOENT) {
        refuseFor("cannot open", error);
    }
    return false;
}

// In a shared games folder, anyone who may write to it could plant a file under a player's name
// before the player's first game, or a link to someone else's game: a game is played only from
// the player's own file, reached through no link but the player's own.
void requireOwnLink(const std::string& path) {
    os::FileFacts facts;
    if (os::factsAt(path, false, facts) == 0 && facts.kind == os::FileKind::Link &&
        !facts.ownedByPlayer) {
        throw SaveFileError{
            "a symbolic link another user made (a game is played only through the player's own)"};
    }
}

void requireOwnFile(const os::FileFacts& facts) {
    if (!facts.ownedByPlayer) {
        throw SaveFileError{
            "belongs to another user (a game is played only from the player's own file)"};
    }
}

// Opens a regular file; empty if it went away since it was looked at. The descriptor is checked
// again, since the path may have been replaced in between. `forPlay`: the file must be the
// player's.
UniqueFd openRegular(const std::string& path, os::Access access, bool forPlay) {
    UniqueFd fd = os::openExisting(path, access);
    if (!fd && errno == ENOENT) {
        return fd;
    }
    if (!fd) {
        refuseFor("cannot open", errno);
    }
    os::FileFacts facts;
    if (const int error = os::factsOf(fd.get(), facts); error != 0) {
        refuseFor("cannot open", error);
    }
    requireRegular(facts);
    if (forPlay) {
        requireOwnFile(facts);
    }
    return fd;
}

// Reads the header, and only the header: no more of a stranger's file is read before it is
// known to be a saved game.
SaveHeader readHeader(int fd) {
    std::array<char, kHeaderProbeBytes> start{};
    const std::ptrdiff_t size = os::readAt(fd, start.data(), start.size(), 0);
    if (size < 0) {
        refuseFor("cannot read", errno);
    }
    return parseSaveHeader(std::string_view(start.data(), static_cast<std::size_t>(size)));
}

// Says what is known of whoever holds the lock of a file this game could not lock for itself.
// Anyone who can read the file can lock it; a game holds it alone, readers share it.
std::string lockHolder(int fd) {
    if (os::probeReadersLock(fd) == 0) {
        return "locked by another process, which is reading it";
    }
    return "locked by another process, perhaps another game playing it";
}

void lockForPlay(int fd) {
    for (int attempt = 1;; ++attempt) {
        const int error = os::lockForPlay(fd, false);
        if (error == 0) {
            return;
        }
        if (error != EWOULDBLOCK) {
            refuseFor("cannot lock", error);
        }
        if (attempt == kLockAttempts) {
            throw SaveFileError{lockHolder(fd)};
        }
        std::this_thread::sleep_for(kLockRetryDelay);
    }
}

}  // namespace

bool SaveFile::appendKey(char key) {
    unsynced = true;
    return writeAll(fd.get(), std::string_view(&key, 1)) && os::keepWritten(fd.get());
}

bool SaveFile::makeDurable() {
    if (!unsynced) {
        return true;
    }
    if (!os::syncData(fd.get())) {
        return false;
    }
    if (created) {
        os::syncDirectory(directoryOf(path));
        created = false;
    }
    unsynced = false;
    return true;
}

SaveFile openSaveFile(const std::string& path, std::uint32_t newGameSeed,
                      const os::NamingCalls& calls) {
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        requireOwnLink(path);
        if (regularFileAt(path)) {
            UniqueFd fd = openRegular(path, os::Access::ReadAppend, true);
            if (!fd) {
                continue;  // removed since it was looked at
            }
            lockForPlay(fd.get());
            const SaveHeader header = readHeader(fd.get());
            SavedKeys keys(fd.get(), header.size);
            return SaveFile{path, std::move(fd), header.seed, keys, false, false};
        }
        if (std::optional<UniqueFd> created = createSaveFile(path, newGameSeed, calls)) {
            return SaveFile{path, std::move(*created), newGameSeed, SavedKeys(), true, true};
        }
    }
    refuseFor("cannot open", ENOENT);
}

SaveReader openSaveReader(const std::string& path) {
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        if (!regularFileAt(path)) {
            break;
        }
        if (UniqueFd fd = openRegular(path, os::Access::Read, false)) {
            const SaveHeader header = readHeader(fd.get());
            return SaveReader{std::move(fd), header.seed, header.size};
        }
    }
    refuseFor("cannot open", ENOENT);
}

// A shared lock can be had only when no game holds the exclusive one; it is let go at once.
bool SaveReader::beingPlayed() const {
    return os::probeReadersLock(fd.get()) == EWOULDBLOCK;
}

}  // namespace orbalune
