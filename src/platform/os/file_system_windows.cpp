// The file system seam on Windows. A new file is named by a rename that never replaces
// (MoveFileExW without MOVEFILE_REPLACE_EXISTING). A hard link is not used: the temporary name
// it leaves behind could not be removed while the game holds the file open. FlushFileBuffers
// puts a file on the disk; a file's bytes outlast its program once written. Writes are not
// watched: a follower looks from time to time.
#include <windows.h>

#include <cerrno>

#include "platform/os/file_system.hpp"
#include "platform/os/windows_calls.hpp"

namespace orbalune::os {

namespace {

int createUnnamed(const std::string& /*directory*/, mode_t /*mode*/, UniqueFd& /*file*/) {
    return ENOTSUP;
}

int nameUnnamed(int /*fd*/, const std::string& /*path*/) {
    return ENOTSUP;
}

int hardLink(const std::string& /*from*/, const std::string& /*to*/) {
    return ENOTSUP;
}

int renameNoReplace(const std::string& from, const std::string& to) {
    const std::optional<std::wstring> wideFrom = windows::widePath(from);
    const std::optional<std::wstring> wideTo = windows::widePath(to);
    if (!wideFrom || !wideTo) {
        return EINVAL;
    }
    return ::MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_WRITE_THROUGH)
               ? 0
               : windows::setErrnoFromLastError();
}

constexpr NamingCalls kSystemCalls{createUnnamed, nameUnnamed, hardLink, renameNoReplace};

}  // namespace

const NamingCalls& systemNamingCalls() {
    return kSystemCalls;
}

bool syncData(int fd) {
    if (::FlushFileBuffers(windows::handleOf(fd))) {
        return true;
    }
    windows::setErrnoFromLastError();
    return false;
}

bool keepWritten(int /*fd*/) {
    return true;  // in the system's cache once written
}

UniqueFd watchWrites(const std::string& /*path*/) {
    return {};
}

void awaitWatch(int /*watch*/, std::chrono::milliseconds /*patience*/) {}

void drainWatch(int /*watch*/) {}

}  // namespace orbalune::os
