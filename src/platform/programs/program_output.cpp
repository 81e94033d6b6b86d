#include "platform/programs/program_output.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ostream>

#include "platform/programs/exit_status.hpp"
#include "platform/terminal/shown_text.hpp"
#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

void reportError(std::ostream& err, std::string_view program, std::string_view message) {
    err << program << ": " << shownText(message, localeSpeaksUtf8()) << '\n' << std::flush;
}

int finishOutput(std::ostream& out, std::ostream& err, std::string_view program, int status) {
    out.flush();
    if (out.fail()) {
        reportError(err, program, kOutputFailure);
        return kExitWriteFailed;
    }
    return status;
}

void openClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free descriptor is `fd` itself, since those below it are open.
            if (::open("/dev/null", O_RDONLY) != fd) {
                ::_exit(kExitWriteFailed);
            }
        }
    }
}

void failWritesPastTheSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace orbalune
