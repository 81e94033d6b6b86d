#include "platform/terminal/single_key_mode.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace orbalune {

namespace {

// The signals that end a program at its terminal (SIGXCPU: past a processor time limit, as a
// shared host may set), and the one that stops it.
constexpr std::array kEndingSignals = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGXCPU};

// What the handlers need, set before they are installed and left alone while they are: a
// handler may run at any moment, so it only reads these. Nothing else in the program is global.
struct Saved {
    int fd = -1;
    termios found{};    // the terminal as it was found
    termios playing{};  // single keys
    std::array<struct sigaction, kEndingSignals.size()> previousEnding{};
    struct sigaction previousStop {};
    struct sigaction previousContinue {};
    int continuedWrite = -1;  // a byte is written to it when the program continues in front
    struct sigaction previousResize {};
    bool wakeOnResize = false;
    int screenFd = -1;
    std::string_view leaving;  // written to screenFd before the program ends or stops
};
Saved saved;  // the signal handlers' own

// Installs `handler`, unless the signal is ignored: a game started with SIGHUP ignored (nohup)
// must not end on it.
void install(int signal, void (*handler)(int), struct sigaction* previous) {
    sigaction(signal, nullptr, previous);
    if (previous->sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A read the signal interrupts (Ctrl-Z, then fg) goes on waiting instead of failing.
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, previous);
}

// Whether this program has the terminal. In the background (continued by `bg`, or by a shell's
// `kill` of a stopped job) the settings are the shell's, and changing them would stop the
// program with SIGTTOU instead.
bool inForeground() {
    return tcgetpgrp(saved.fd) == getpgrp();
}

// Sets the terminal as `settings` say, if this program has it.
void setIfForeground(const termios& settings) {
    if (inForeground()) {
        tcsetattr(saved.fd, TCSANOW, &settings);
    }
}

// The screen and the terminal as the shell expects them.
void leave() {
    if (saved.screenFd >= 0 && !saved.leaving.empty()) {
        [[maybe_unused]] const ssize_t written =
            write(saved.screenFd, saved.leaving.data(), saved.leaving.size());
    }
    setIfForeground(saved.found);
}

// Only what is safe in a signal handler: tcgetpgrp, getpgrp, tcsetattr, write, sigaction,
// sigprocmask and raise.
void restoreAndEnd(int signal) {
    leave();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);  // delivered, with its default action, as soon as the handler returns
}

void restoreAndStop(int signal) {
    const int savedErrno = errno;
    leave();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, signal);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    raise(signal);  // the program stops here, until the shell continues it
    struct sigaction ignored {};
    install(signal, restoreAndStop, &ignored);
    errno = savedErrno;  // single keys again: resumeSingleKeys, on the SIGCONT that woke it
}

// Continued: single keys again once the program has the terminal, which `fg` gives it before it
// continues it; `bg` does not, and the `fg` after it continues it again.
void resumeSingleKeys(int /*signal*/) {
    const int savedErrno = errno;
    if (inForeground()) {
        tcsetattr(saved.fd, TCSANOW, &saved.playing);
        const char continued = 'c';
        // A full pipe already holds what tells of the continuing.
        [[maybe_unused]] const ssize_t written = write(saved.continuedWrite, &continued, 1);
    }
    errno = savedErrno;
}

void tellOfResize(int /*signal*/) {
    const int savedErrno = errno;
    const char resized = 'r';
    [[maybe_unused]] const ssize_t written = write(saved.continuedWrite, &resized, 1);
    errno = savedErrno;
}

// A pipe whose ends are non-blocking and closed in programs started from this one.
bool makeWakePipe(std::array<int, 2>& ends) {
    if (pipe(ends.data()) != 0) {
        return false;
    }
    for (const int end : ends) {
        fcntl(end, F_SETFD, FD_CLOEXEC);
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

}  // namespace

SingleKeyMode::SingleKeyMode(int fd, Steering steering) {
    termios found{};
    if (tcgetattr(fd, &found) != 0) {
        return;
    }
    if (std::array<int, 2> ends{}; makeWakePipe(ends)) {
        continuedFd_ = ends[0];
        saved.continuedWrite = ends[1];
    }
    saved.fd = fd;
    saved.found = found;
    saved.playing = found;
    saved.playing.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    saved.playing.c_cc[VMIN] = 1;
    saved.playing.c_cc[VTIME] = 0;
    if (steering.interruptIsAKey) {
        saved.playing.c_cc[VINTR] = _POSIX_VDISABLE;
    }
    saved.screenFd = steering.screenFd;
    saved.leaving = steering.leaving;
    saved.wakeOnResize = steering.wakeOnResize && continuedFd_ >= 0;
    if (saved.wakeOnResize) {
        install(SIGWINCH, tellOfResize, &saved.previousResize);
    }
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        install(kEndingSignals[i], restoreAndEnd, &saved.previousEnding[i]);
    }
    install(SIGTSTP, restoreAndStop, &saved.previousStop);
    install(SIGCONT, resumeSingleKeys, &saved.previousContinue);
    if (tcsetattr(fd, TCSANOW, &saved.playing) != 0) {
        return;
    }
    active_ = true;
    const cc_t end = found.c_cc[VEOF];
    endKey_ = end == _POSIX_VDISABLE ? -1 : end;
}

SingleKeyMode::~SingleKeyMode() {
    if (saved.fd < 0) {
        return;
    }
    setIfForeground(saved.found);
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        sigaction(kEndingSignals[i], &saved.previousEnding[i], nullptr);
    }
    sigaction(SIGTSTP, &saved.previousStop, nullptr);
    sigaction(SIGCONT, &saved.previousContinue, nullptr);
    if (saved.wakeOnResize) {
        sigaction(SIGWINCH, &saved.previousResize, nullptr);
    }
    if (continuedFd_ >= 0) {
        close(continuedFd_);
        close(saved.continuedWrite);
    }
    saved = Saved{};
}

}  // namespace orbalune
