// The standard streams on POSIX, and in a web page's program, whose C library is POSIX's.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/os/standard_streams.hpp"

namespace orbalune::os {

bool prepareStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free descriptor is `fd` itself, since those below it are open.
            if (::open("/dev/null", O_RDONLY) != fd) {
                return false;
            }
        }
    }
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
}

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

}  // namespace orbalune::os
