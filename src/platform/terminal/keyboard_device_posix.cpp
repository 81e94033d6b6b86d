// The keyboard seam on POSIX: a terminal's descriptor, polled and read.
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/terminal/keyboard_device.hpp"

namespace orbalune::keyboard_device {

Waited waitForKeys(int fd, int continuedFd, int alsoWake, std::chrono::milliseconds patience) {
    // A descriptor of -1 is left out of the poll.
    std::array<pollfd, 3> waited = {pollfd{fd, POLLIN, 0}, pollfd{continuedFd, POLLIN, 0},
                                    pollfd{alsoWake, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(waited.data(), waited.size(),
                                 patience.count() < 0 ? -1 : static_cast<int>(patience.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return Waited{false, false, false, true};
        }
        return Waited{waited[0].revents != 0, waited[1].revents != 0, waited[2].revents != 0,
                      false};
    }
}

long readKeys(int fd, char* into, std::size_t size) {
    return ::read(fd, into, size);
}

void discardKeys(int fd) {
    ::tcflush(fd, TCIFLUSH);
}

WindowSize windowSize(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0) {
        return {};
    }
    return {size.ws_row, size.ws_col};
}

}  // namespace orbalune::keyboard_device
