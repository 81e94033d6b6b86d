// The seam on Linux: unnamed files (O_TMPFILE) linked in place through /proc, renameat2 without
// replacement, fdatasync and inotify. Each falls back as the POSIX version does where a kernel
// or file system refuses it.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "platform/os/file_system.hpp"

namespace orbalune::os {

namespace {

int createUnnamed(const std::string& directory, mode_t mode, UniqueFd& file) {
    file = UniqueFd(::open(directory.c_str(), O_TMPFILE | O_RDWR | O_APPEND | O_CLOEXEC, mode));
    if (file) {
        return 0;
    }
    // Kernels older than O_TMPFILE take it for O_DIRECTORY, and say so.
    return errno == EISDIR ? EOPNOTSUPP : errno;
}

// Linking a descriptor by its /proc name needs no privilege, unlike AT_EMPTY_PATH.
int nameUnnamed(int fd, const std::string& path) {
    const std::string name = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, name.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    const int error = errno;
    if (error == ENOENT && ::access(name.c_str(), F_OK) != 0) {
        return EOPNOTSUPP;  // no /proc here
    }
    return error;
}

int hardLink(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int renameNoReplace(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0
                                                                                            : errno;
}

constexpr NamingCalls kSystemCalls{createUnnamed, nameUnnamed, hardLink, renameNoReplace};

}  // namespace

const NamingCalls& systemNamingCalls() {
    return kSystemCalls;
}

bool syncData(int fd) {
    return ::fdatasync(fd) == 0;
}

bool keepWritten(int /*fd*/) {
    return true;  // in the kernel's cache once written
}

UniqueFd watchWrites(const std::string& path) {
    // A game writes each key (IN_MODIFY) and closes its file when it ends, however it ends
    // (IN_CLOSE_WRITE).
    UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (watch && ::inotify_add_watch(watch.get(), path.c_str(), IN_MODIFY | IN_CLOSE_WRITE) < 0) {
        return {};
    }
    return watch;
}

void awaitWatch(int watch, std::chrono::milliseconds patience) {
    pollfd waited{watch, POLLIN, 0};
    ::poll(&waited, 1, static_cast<int>(patience.count()));
}

void drainWatch(int watch) {
    std::array<char, 4096> events{};
    while (::read(watch, events.data(), events.size()) > 0) {
    }
}

}  // namespace orbalune::os
