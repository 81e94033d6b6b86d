#pragma once

// The locks that keep a saved game to one game at a time, and tell its readers whether a game
// plays it: flock(2) on POSIX (file_locks_posix.cpp); in a web page, whose games the browser's
// own locks keep to one tab, what the page knows (file_locks_browser.cpp).
namespace orbalune::os {

// Takes the lock of a game on the file `fd`, held until the descriptor is closed: 0, or an errno
// (EWOULDBLOCK: another holds a lock on it, and `wait` was false).
int lockForPlay(int fd, bool wait);

// Whether a lock that readers share could be had on `fd` now (it is let go at once): 0 if so,
// EWOULDBLOCK if a game holds the file, or another errno.
int probeReadersLock(int fd);

}  // namespace orbalune::os
