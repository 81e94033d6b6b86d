// The lock seam in a web page: the page plays a game only under the browser's lock for it (Web
// Locks), so a game's own lock is had at once; whether a game is being played is the page's to
// say (a game it follows on a server is, while its file grows).
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cerrno>

#include "platform/os/file_locks.hpp"

EM_JS(int, orbalune_being_played, (int fd),
      { return Module.page.beingPlayed(FS.getStream(fd).path) ? 1 : 0; });

namespace orbalune::os {

int lockForPlay(int /*fd*/, bool /*wait*/) {
    return 0;
}

int probeReadersLock(int fd) {
    return orbalune_being_played(fd) != 0 ? EWOULDBLOCK : 0;
}

}  // namespace orbalune::os
