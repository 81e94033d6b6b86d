#pragma once

#include <termios.h>

namespace orbalune {

// Puts a terminal into single-key mode for as long as the record lives: no line editing and no
// echo, each key readable the moment it is pressed; signals and everything else as they were.
// The terminal gets its own settings back however the program ends or stops: when the record
// goes, and on Ctrl-C, Ctrl-\, SIGTERM, SIGHUP and SIGXCPU before the program ends by that signal,
// so that the shell sees what happened. On Ctrl-Z it gets them back before the program stops, and
// single keys again after `fg`. Only SIGKILL is beyond reach.
//
// One at a time: the signal handlers share the terminal's settings with it.
class SingleKeyMode {
public:
    // Does nothing when `fd` is not a terminal.
    explicit SingleKeyMode(int fd);
    SingleKeyMode(const SingleKeyMode&) = delete;
    SingleKeyMode& operator=(const SingleKeyMode&) = delete;
    ~SingleKeyMode();

    // Whether the terminal reads single keys now.
    [[nodiscard]] bool active() const { return active_; }
    // The key that ends input in line mode (Ctrl-D), a byte; -1 if there is none.
    [[nodiscard]] int endKey() const { return endKey_; }
    // Readable once the program has been continued in front after a stop (`fg`), so that what
    // the shell wrote meanwhile can be mended; -1 if there is no such descriptor.
    [[nodiscard]] int continuedFd() const { return continuedFd_; }

private:
    bool active_ = false;
    int endKey_ = -1;
    int continuedFd_ = -1;
};

}  // namespace orbalune
