// The lock seam on Windows: LockFileEx, whose locks belong to an open handle and go with it, as
// flock's do. Windows' locks keep others from reading what they cover, so they cover one byte
// far past any game's end, which no one reads.
#include <windows.h>

#include <cerrno>

#include "platform/os/file_locks.hpp"
#include "platform/os/windows_calls.hpp"

namespace orbalune::os {

namespace {

OVERLAPPED lockedByte() {
    OVERLAPPED at{};
    at.Offset = 0xFFFF'FFFE;
    at.OffsetHigh = 0x7FFF'FFFF;
    return at;
}

int lock(int fd, DWORD flags) {
    OVERLAPPED at = lockedByte();
    if (::LockFileEx(windows::handleOf(fd), flags, 0, 1, 0, &at)) {
        return 0;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? EWOULDBLOCK
                                                                      : windows::errnoOf(error);
}

}  // namespace

int lockForPlay(int fd, bool wait) {
    return lock(fd, LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY));
}

int probeReadersLock(int fd) {
    if (const int error = lock(fd, LOCKFILE_FAIL_IMMEDIATELY); error != 0) {
        return error;
    }
    OVERLAPPED at = lockedByte();
    ::UnlockFileEx(windows::handleOf(fd), 0, 1, 0, &at);
    return 0;
}

}  // namespace orbalune::os
