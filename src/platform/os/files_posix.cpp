// The file seam on POSIX, which Emscripten's files in a web page answer as well.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os/files.hpp"

namespace orbalune::os {

namespace {

FileFacts factsFrom(const struct stat& info) {
    FileFacts facts;
    facts.kind = S_ISREG(info.st_mode)   ? FileKind::Regular
                 : S_ISDIR(info.st_mode) ? FileKind::Directory
                 : S_ISLNK(info.st_mode) ? FileKind::Link
                                         : FileKind::Other;
    facts.ownedByPlayer = info.st_uid == ::geteuid();
    facts.modified = info.st_mtime;
    facts.size = static_cast<std::uint64_t>(info.st_size > 0 ? info.st_size : 0);
    return facts;
}

}  // namespace

int factsAt(const std::string& path, bool followLinks, FileFacts& facts) {
    struct stat info {};
    const int result = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    if (result != 0) {
        return errno;
    }
    facts = factsFrom(info);
    return 0;
}

int factsOf(int fd, FileFacts& facts) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return errno;
    }
    facts = factsFrom(info);
    return 0;
}

// O_NONBLOCK keeps a FIFO from blocking the open; it does nothing to a regular file.
UniqueFd openExisting(const std::string& path, Access access) {
    const int flags = access == Access::Read ? O_RDONLY : O_RDWR | O_APPEND;
    return UniqueFd(::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
}

UniqueFd createNew(const std::string& path, mode_t mode) {
    return UniqueFd(
        ::open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY, mode));
}

int removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

void syncDirectory(const std::string& directory) {
    const UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) {
        ::fsync(fd.get());  // some file systems cannot sync a directory
    }
}

std::ptrdiff_t readAt(int fd, char* into, std::size_t size, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count =
            ::pread(fd, into + done, size - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return -1;
        }
        if (count == 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return static_cast<std::ptrdiff_t>(done);
}

}  // namespace orbalune::os
