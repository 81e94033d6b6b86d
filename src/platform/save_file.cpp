#include "platform/save_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace orbalune {

namespace {

// A missing file found on opening may be created by another game before this one creates it;
// opening is then tried again, a few times at most.
constexpr int kOpenAttempts = 3;

[[noreturn]] void refuseFor(const char* what, int error) {
    throw SaveFileError{std::string(what) + ": " + std::strerror(error)};
}

// Empty when the file does not exist; refused when it cannot be opened. O_NONBLOCK keeps a FIFO
// given as the file from blocking the open; it does nothing to a regular file, the only kind
// accepted.
UniqueFd openExisting(const std::string& path, int access) {
    UniqueFd fd(::open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd && errno == EISDIR) {
        throw SaveFileError{"is a directory"};
    }
    if (!fd && errno != ENOENT) {
        refuseFor("cannot open", errno);
    }
    return fd;
}

void requireRegularFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        refuseFor("cannot open", errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw SaveFileError{S_ISDIR(info.st_mode) ? "is a directory" : "not a regular file"};
    }
}

std::string readAll(int fd) {
    std::string bytes;
    std::array<char, 1 << 16> chunk{};
    for (;;) {
        const ssize_t count = ::read(fd, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            refuseFor("cannot read", errno);
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(count));
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            errno = count == 0 ? ENOSPC : errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// Files get the permissions the user's umask leaves, as any file a program creates.
mode_t permissionsForNewFiles() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Fills the new file and links it in place; 0, or the errno of the step that failed. No one else
// knows the file yet, so its lock is had at once, and held once it is linked.
int fillAndLink(int fd, const char* temporary, const std::string& path, std::uint32_t seed) {
    const bool done = ::fchmod(fd, permissionsForNewFiles()) == 0 && ::flock(fd, LOCK_EX) == 0 &&
                      writeAll(fd, saveHeader(seed)) && ::link(temporary, path.c_str()) == 0;
    return done ? 0 : errno;
}

// Writes the header under a temporary name beside `path`, then links it in place: the file
// appears whole or not at all, and never over an existing one. Nothing when another game
// created `path` first.
std::optional<SaveFile> createSaveFile(const std::string& path, std::uint32_t seed) {
    const std::filesystem::path target(path);
    std::string name = target.filename().string();
    name.insert(0, 1, '.').append(".XXXXXX");  // not "." + name: g++ 12 warns falsely at -O3
    const std::string pattern = (target.parent_path() / name).string();
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC | O_APPEND));
    if (!fd) {
        refuseFor("cannot create", errno);
    }
    const int error = fillAndLink(fd.get(), temporary.data(), path, seed);
    ::unlink(temporary.data());
    if (error == EEXIST) {
        return std::nullopt;
    }
    if (error != 0) {
        refuseFor("cannot create", error);
    }
    return SaveFile{path, std::move(fd), SavedGame{seed, {}}, true};
}

}  // namespace

bool SaveFile::appendKey(char key) const {
    return writeAll(fd.get(), std::string_view(&key, 1));
}

SaveFile openSaveFile(const std::string& path, std::uint32_t newGameSeed) {
    for (int attempt = 1;; ++attempt) {
        if (UniqueFd fd = openExisting(path, O_RDWR | O_APPEND)) {
            requireRegularFile(fd.get());
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
                if (errno == EWOULDBLOCK) {
                    throw SaveFileError{"in use by another game of orbalune"};
                }
                refuseFor("cannot lock", errno);
            }
            SavedGame game = parseSavedGame(readAll(fd.get()));
            return SaveFile{path, std::move(fd), std::move(game), false};
        }
        if (attempt == kOpenAttempts) {
            refuseFor("cannot open", ENOENT);
        }
        if (std::optional<SaveFile> created = createSaveFile(path, newGameSeed)) {
            return std::move(*created);
        }
    }
}

SavedGame readSaveFile(const std::string& path) {
    const UniqueFd fd = openExisting(path, O_RDONLY);
    if (!fd) {
        refuseFor("cannot open", ENOENT);
    }
    requireRegularFile(fd.get());
    return parseSavedGame(readAll(fd.get()));
}

}  // namespace orbalune
