// Single keys at a Windows console: its input without line editing and echo, with
// virtual-terminal input, so that arrows and other keys arrive as the escape sequences the key
// reader splits; its output with virtual-terminal processing; UTF-8 both ways (code page 65001).
// The console gets its modes and code pages back when the record goes, and, through a console
// control handler, before the program ends on Ctrl-C, Ctrl-Break, its window closed, or the
// user logging off. Ctrl-Z is the key that ends input, as it is at a Windows console.
#include <windows.h>

#include <string_view>

#include "platform/os/windows_calls.hpp"
#include "platform/terminal/single_key_mode.hpp"

namespace orbalune {

namespace {

constexpr int kEndOfInput = 0x1A;  // Ctrl-Z
constexpr UINT kUtf8 = 65001;

// The console as it was found, for the control handler, which runs on a thread of its own while
// the program is ending. Set before the handler is installed, and only read while it is: nothing
// else in the program is global.
struct Found {
    HANDLE input = INVALID_HANDLE_VALUE;
    HANDLE output = INVALID_HANDLE_VALUE;
    DWORD inputMode = 0;
    DWORD outputMode = 0;
    bool outputModeKnown = false;
    UINT inputCodePage = 0;
    UINT outputCodePage = 0;
    HANDLE screen = INVALID_HANDLE_VALUE;
    std::string_view leaving;  // written to `screen` before the program ends
};
Found found;

void restore() {
    ::SetConsoleMode(found.input, found.inputMode);
    if (found.outputModeKnown) {
        ::SetConsoleMode(found.output, found.outputMode);
    }
    ::SetConsoleCP(found.inputCodePage);
    ::SetConsoleOutputCP(found.outputCodePage);
}

BOOL WINAPI restoreBeforeEnding(DWORD /*event*/) {
    if (!found.leaving.empty()) {
        DWORD written = 0;
        ::WriteFile(found.screen, found.leaving.data(), static_cast<DWORD>(found.leaving.size()),
                    &written, nullptr);
    }
    restore();
    return FALSE;  // the next handler, Windows' own, ends the program
}

}  // namespace

SingleKeyMode::SingleKeyMode(int fd, Steering steering) {
    const HANDLE input = os::windows::handleOf(fd);
    DWORD inputMode = 0;
    if (!::GetConsoleMode(input, &inputMode)) {
        return;  // not a console
    }
    found = Found{};
    found.input = input;
    found.inputMode = inputMode;
    found.output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    found.outputModeKnown = ::GetConsoleMode(found.output, &found.outputMode) != 0;
    found.inputCodePage = ::GetConsoleCP();
    found.outputCodePage = ::GetConsoleOutputCP();
    if (steering.screenFd >= 0) {
        found.screen = os::windows::handleOf(steering.screenFd);
        found.leaving = steering.leaving;
    }
    ::SetConsoleCtrlHandler(restoreBeforeEnding, TRUE);

    DWORD keys =
        (inputMode & ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT)) | ENABLE_VIRTUAL_TERMINAL_INPUT;
    if (steering.interruptIsAKey) {
        keys &= ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT);
    }
    if (steering.wakeOnResize) {
        keys |= ENABLE_WINDOW_INPUT;
    }
    // Consoles older than Windows 10 have no virtual-terminal input: plain keys still work.
    if (!::SetConsoleMode(input, keys) &&
        !::SetConsoleMode(input, keys & ~static_cast<DWORD>(ENABLE_VIRTUAL_TERMINAL_INPUT))) {
        ::SetConsoleCtrlHandler(restoreBeforeEnding, FALSE);
        return;
    }
    if (found.outputModeKnown) {
        ::SetConsoleMode(found.output, found.outputMode | ENABLE_PROCESSED_OUTPUT |
                                           ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    ::SetConsoleCP(kUtf8);
    ::SetConsoleOutputCP(kUtf8);
    active_ = true;
    endKey_ = kEndOfInput;
}

SingleKeyMode::~SingleKeyMode() {
    if (active_) {
        restore();
        ::SetConsoleCtrlHandler(restoreBeforeEnding, FALSE);
    }
}

}  // namespace orbalune
