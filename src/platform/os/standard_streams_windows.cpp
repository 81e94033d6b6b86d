// The standard streams on Windows: the C library's descriptors 0, 1 and 2, put in binary mode so
// that the game's line ends reach a file or a pipe as they are ("\n", never "\r\n"), and a key
// file's bytes are read unchanged. Keys typed at a console in line mode are read in text mode:
// Enter gives "\n", as a POSIX terminal's does, and Ctrl-Z at a line's start ends them. A console
// is one only if it answers as a console: the C library's isatty is true of the null device too.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/os/standard_streams.hpp"
#include "platform/os/windows_calls.hpp"

namespace orbalune::os {

bool prepareStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        // A program started without a console, or with a stream closed, has no handle there.
        if (windows::handleOf(fd) == INVALID_HANDLE_VALUE &&
            ::_open("NUL", _O_RDONLY | _O_BINARY) != fd) {
            return false;
        }
        ::_setmode(fd, fd == kStandardInput && isTerminal(fd) ? _O_TEXT : _O_BINARY);
    }
    return true;
}

bool isTerminal(int fd) {
    DWORD mode = 0;
    return ::GetConsoleMode(windows::handleOf(fd), &mode) != 0;
}

}  // namespace orbalune::os
