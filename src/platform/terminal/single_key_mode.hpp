#pragma once

#include <string_view>

namespace orbalune {

// Puts a terminal into single-key mode for as long as the record lives: no line editing and no
// echo, each key readable the moment it is pressed; signals and everything else as they were.
// The terminal gets its own settings back however the program ends or stops: when the record
// goes, and before the program ends by any signal that comes from outside it (Ctrl-C, Ctrl-\,
// SIGTERM, SIGHUP, SIGXCPU, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPIPE) or SIGABRT,
// so that the shell sees what happened. A processor time limit that would end the program with
// SIGKILL (soft and hard the same, as `ulimit -t` sets them) is made to warn it first. On Ctrl-Z
// the terminal gets its settings back before the program stops, and single keys again after
// `fg`. Only SIGKILL is beyond reach. What is written to the screen on the way out never waits
// on a terminal whose output is stopped.
//
// One at a time: the signal handlers share the terminal's settings with it.
class SingleKeyMode {
public:
    // For a program the keys steer, rather than answer: a watched game.
    struct Steering {
        // Ctrl-C is a key like any other, for the program to stop on in its own way.
        bool interruptIsAKey = false;
        // The descriptor of continuedFd is readable when the window changes size too.
        bool wakeOnResize = false;
        // Written to `screenFd` before the program ends or stops on a signal, to leave the
        // screen as the shell expects it; static text.
        int screenFd = -1;
        std::string_view leaving;
    };

    // Does nothing when `fd` is not a terminal.
    explicit SingleKeyMode(int fd) : SingleKeyMode(fd, Steering{}) {}
    SingleKeyMode(int fd, Steering steering);
    SingleKeyMode(const SingleKeyMode&) = delete;
    SingleKeyMode& operator=(const SingleKeyMode&) = delete;
    ~SingleKeyMode();

    // Whether the terminal reads single keys now.
    [[nodiscard]] bool active() const { return active_; }
    // The key that ends input in line mode (Ctrl-D), a byte; -1 if there is none.
    [[nodiscard]] int endKey() const { return endKey_; }
    // Readable once the program has been continued in front after a stop (`fg`), so that what
    // the shell wrote meanwhile can be mended (and, if asked, when the window changes size); -1
    // if there is no such descriptor.
    [[nodiscard]] int continuedFd() const { return continuedFd_; }

private:
    bool active_ = false;
    int endKey_ = -1;
    int continuedFd_ = -1;
};

}  // namespace orbalune
