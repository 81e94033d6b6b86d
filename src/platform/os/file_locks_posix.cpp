// The lock seam on POSIX: flock(2), whose locks belong to an open file and go with it.
#include <sys/file.h>

#include <cerrno>

#include "platform/os/file_locks.hpp"

namespace orbalune::os {

int lockForPlay(int fd, bool wait) {
    return ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0 ? 0 : errno;
}

int probeReadersLock(int fd) {
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        return errno;
    }
    ::flock(fd, LOCK_UN);
    return 0;
}

}  // namespace orbalune::os
