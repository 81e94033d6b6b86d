#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>

#include "platform/terminal/single_key_mode.hpp"

#ifdef ORBALUNE_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace orbalune {

namespace {

// The signals whose default action ends a program and that come from outside it: from the
// terminal, from other programs (kill), from timers and limits (SIGXCPU: past a processor time
// limit, as a shared host may set), and from a reader that went away (SIGPIPE). SIGABRT: a
// program's own failure that nothing caught.
constexpr std::array kEndingSignals = {SIGINT,  SIGQUIT, SIGTERM,   SIGHUP,  SIGXCPU, SIGUSR1,
                                       SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPIPE, SIGABRT};

// How long before a processor time limit with no warning the program warns itself, when that
// limit is a second or less (a limit of whole seconds is otherwise lowered by one).
constexpr suseconds_t kCpuWarningMarginUs = 100'000;

// What the handlers need, set before they are installed and left alone while they are: a
// handler may run at any moment, so it only reads these. Nothing else in the program is global.
struct Saved {
    int fd = -1;
    termios found{};    // the terminal as it was found
    termios playing{};  // single keys
    std::array<struct sigaction, kEndingSignals.size()> previousEnding{};
    rlimit cpuLimit{};  // as found, to put back
    bool cpuLimitLowered = false;
    bool cpuTimerSet = false;
    struct sigaction previousStop {};
    struct sigaction previousContinue {};
    int continuedWrite = -1;  // a byte is written to it when the program continues in front
    struct sigaction previousResize {};
    bool wakeOnResize = false;
    // The terminal of screenFd opened anew, non-blocking, so that a handler's writes never wait
    // on a terminal whose output is stopped (Ctrl-S); -1 if it could not be.
    int leavingFd = -1;
    std::string_view leaving;  // written to leavingFd before the program ends or stops
};
Saved saved;  // the signal handlers' own
// The one thing a handler writes: whether the program has been continued since it last stopped.
volatile std::sig_atomic_t continuedSinceStop = 0;

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
    if (saved.leavingFd >= 0 && !saved.leaving.empty()) {
        [[maybe_unused]] const ssize_t written =
            write(saved.leavingFd, saved.leaving.data(), saved.leaving.size());
    }
    setIfForeground(saved.found);
}

// A coverage build's counts are written when the program exits; one that a signal ends writes
// them here, or the tests of its endings would count for nothing. Nothing in any other build.
void writeCoverageCounts() {
#ifdef ORBALUNE_COVERAGE
    __gcov_dump();
#endif
}

// Only what is safe in a signal handler: tcgetpgrp, getpgrp, tcsetattr, write, sigaction,
// sigprocmask and raise (and, in a coverage build, writing its counts).
void restoreAndEnd(int signal) {
    leave();
    writeCoverageCounts();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);  // delivered, with its default action, as soon as the handler returns
}

// Continued: single keys again once the program has the terminal, which `fg` gives it before it
// continues it; `bg` does not, and the `fg` after it continues it again.
void resumeSingleKeys(int /*signal*/) {
    const int savedErrno = errno;
    continuedSinceStop = 1;
    if (inForeground()) {
        tcsetattr(saved.fd, TCSANOW, &saved.playing);
        const char continued = 'c';
        // A full pipe already holds what tells of the continuing.
        [[maybe_unused]] const ssize_t written = write(saved.continuedWrite, &continued, 1);
    }
    errno = savedErrno;
}

void restoreAndStop(int signal) {
    // A program that leads its own session (ssh's ForceCommand, tmux, setsid) has no shell to
    // continue it: the kernel never stops it, and Ctrl-Z does nothing, single keys staying.
    if (getsid(0) == getpid()) {
        return;
    }
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
    continuedSinceStop = 0;
    raise(signal);  // the program stops here, until the shell continues it
    struct sigaction ignored {};
    install(signal, restoreAndStop, &ignored);
    // Single keys again: resumeSingleKeys, on the SIGCONT that woke it. Any other process group
    // with no shell to continue it is not stopped either: it goes on at once, with single keys.
    if (continuedSinceStop == 0) {
        setIfForeground(saved.playing);
    }
    errno = savedErrno;
}

// The processor time limit is near: the program ends as the limit would end it, terminal restored.
void endByCpuLimit(int /*signal*/) {
    restoreAndEnd(SIGXCPU);
}

void tellOfResize(int /*signal*/) {
    const int savedErrno = errno;
    const char resized = 'r';
    [[maybe_unused]] const ssize_t written = write(saved.continuedWrite, &resized, 1);
    errno = savedErrno;
}

// A processor time limit whose soft and hard values are the same (as `ulimit -t` sets them) ends
// the program with SIGKILL, which no handler sees. The program warns itself first: by a soft
// limit a second lower, or, under a limit of a second, by a timer of processor time.
void warnBeforeCpuLimit() {
    if (getrlimit(RLIMIT_CPU, &saved.cpuLimit) != 0 || saved.cpuLimit.rlim_cur == RLIM_INFINITY ||
        saved.cpuLimit.rlim_cur != saved.cpuLimit.rlim_max) {
        return;
    }
    if (saved.cpuLimit.rlim_max >= 2) {
        rlimit lowered = saved.cpuLimit;
        lowered.rlim_cur = saved.cpuLimit.rlim_max - 1;
        saved.cpuLimitLowered = setrlimit(RLIMIT_CPU, &lowered) == 0;
        return;
    }
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    const long long spentUs = (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1'000'000LL +
                              used.ru_utime.tv_usec + used.ru_stime.tv_usec;
    const long long leftUs =
        std::max(1LL, static_cast<long long>(saved.cpuLimit.rlim_max) * 1'000'000LL - spentUs -
                          kCpuWarningMarginUs);
    struct sigaction replaced {};  // the ending handler, put back with the others
    install(SIGPROF, endByCpuLimit, &replaced);
    itimerval timer{};
    timer.it_value.tv_sec = static_cast<time_t>(leftUs / 1'000'000);
    timer.it_value.tv_usec = static_cast<suseconds_t>(leftUs % 1'000'000);
    saved.cpuTimerSet = setitimer(ITIMER_PROF, &timer, nullptr) == 0;
}

// A descriptor of the terminal `fd` that never blocks a write; -1 if there is none.
int openNonBlocking(int fd) {
    std::array<char, 256> name{};
    if (fd < 0 || ttyname_r(fd, name.data(), name.size()) != 0) {
        return -1;
    }
    return open(name.data(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
    saved.leavingFd = openNonBlocking(steering.screenFd);
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
    warnBeforeCpuLimit();
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
    if (saved.cpuTimerSet) {
        const itimerval off{};
        setitimer(ITIMER_PROF, &off, nullptr);
    }
    if (saved.cpuLimitLowered) {
        setrlimit(RLIMIT_CPU, &saved.cpuLimit);
    }
    if (saved.leavingFd >= 0) {
        close(saved.leavingFd);
    }
    if (continuedFd_ >= 0) {
        close(continuedFd_);
        close(saved.continuedWrite);
    }
    saved = Saved{};
}

}  // namespace orbalune
