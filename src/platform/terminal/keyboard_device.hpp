#pragma once

#include <chrono>
#include <cstddef>

// The keyboard of a terminal as the system gives it to a program, the seam between the key
// reader and what it runs on: POSIX descriptors (keyboard_device_posix.cpp), or a web page's
// terminal (keyboard_device_browser.cpp).
namespace orbalune::keyboard_device {

// What a wait for keys came to; nothing set: the time ran out.
struct Waited {
    bool keys = false;       // the keyboard has bytes to read
    bool continued = false;  // the descriptor of continuing became readable
    bool woken = false;      // the other descriptor to wake on became readable
    bool failed = false;     // the keyboard cannot be waited on any more
};

// Waits up to `patience` (forever if negative) for the keyboard `fd` to have bytes, or for
// `continuedFd` or `alsoWake` (-1: none) to become readable; a signal does not cut it short.
Waited waitForKeys(int fd, int continuedFd, int alsoWake, std::chrono::milliseconds patience);

// Reads what the keyboard has, as read(2) does: how many bytes, 0 when it hung up, or -1 with
// errno set.
long readKeys(int fd, char* into, std::size_t size);

// Drops what was typed and not read yet.
void discardKeys(int fd);

// The terminal's height in lines and width in columns; 0 where it does not say.
struct WindowSize {
    int rows = 0;
    int columns = 0;
};
WindowSize windowSize(int fd);

}  // namespace orbalune::keyboard_device
