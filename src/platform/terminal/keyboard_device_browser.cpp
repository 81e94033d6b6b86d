// The keyboard seam in a web page: the page's terminal hands the keys it is sent (what a
// terminal sends: escape sequences, UTF-8) to the page's script, which keeps them until the game
// takes them; waiting for them lets the page go on.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cerrno>

#include "platform/terminal/keyboard_device.hpp"

// 1: keys came; 0: the time ran out (-1: forever); 2: the terminal changed size; -1: the page
// ended the program.
EM_ASYNC_JS(int, orbalune_wait_for_keys, (int ms), { return await Module.page.waitForKeys(ms); });
// Copies at most `size` of the keys there are to `into`; how many.
EM_JS(int, orbalune_take_keys, (char* into, int size), {
    const keys = Module.page.takeKeys(size);
    HEAPU8.set(keys, into);
    return keys.length;
});
EM_JS(void, orbalune_discard_keys, (), { Module.page.discardKeys(); });
EM_JS(int, orbalune_window_rows, (), { return Module.page.rows(); });
EM_JS(int, orbalune_window_columns, (), { return Module.page.columns(); });

namespace orbalune::keyboard_device {

Waited waitForKeys(int /*fd*/, int /*continuedFd*/, int /*alsoWake*/,
                   std::chrono::milliseconds patience) {
    const int came = orbalune_wait_for_keys(static_cast<int>(patience.count()));
    constexpr int kResized = 2;  // as a terminal's SIGWINCH wakes a watch
    return came == kResized ? Waited{false, true, false, false}
                            : Waited{came != 0, false, false, false};
}

long readKeys(int /*fd*/, char* into, std::size_t size) {
    // Ended by the page: read as a terminal that hung up.
    return orbalune_take_keys(into, static_cast<int>(size));
}

void discardKeys(int /*fd*/) {
    orbalune_discard_keys();
}

WindowSize windowSize(int /*fd*/) {
    return {orbalune_window_rows(), orbalune_window_columns()};
}

}  // namespace orbalune::keyboard_device
