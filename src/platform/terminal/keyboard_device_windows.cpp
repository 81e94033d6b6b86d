// The keyboard seam at a Windows console, read as the console's key events. A key pressed gives
// its character as UTF-8 (Enter's "\r" as "\n", as a POSIX terminal gives it in single-key
// mode); an arrow, Home, End, Page Up or Page Down gives the escape sequence a terminal sends for
// it, which the key reader splits as it does everywhere. Consoles with virtual-terminal input
// send those sequences as characters already; others, and Wine's, as keys without a character.
// Events that bring neither (a key let go, a shift key, the mouse, focus) are taken off and the
// wait goes on. There is no stopping and continuing, nor other descriptors to wake on.
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "platform/os/windows_calls.hpp"
#include "platform/terminal/keyboard_device.hpp"

namespace orbalune::keyboard_device {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The keys without a character that the game or a watch answers, as xterm sends them.
constexpr std::array<std::pair<WORD, std::wstring_view>, 8> kKeySequences = {{
    {VK_UP, L"\x1b[A"},
    {VK_DOWN, L"\x1b[B"},
    {VK_RIGHT, L"\x1b[C"},
    {VK_LEFT, L"\x1b[D"},
    {VK_HOME, L"\x1b[H"},
    {VK_END, L"\x1b[F"},
    {VK_PRIOR, L"\x1b[5~"},
    {VK_NEXT, L"\x1b[6~"},
}};

// What a console event types: a character, a key's sequence, or nothing.
std::wstring_view typedBy(const INPUT_RECORD& event, wchar_t& character) {
    if (event.EventType != KEY_EVENT || event.Event.KeyEvent.bKeyDown == 0) {
        return {};
    }
    character = event.Event.KeyEvent.uChar.UnicodeChar;
    if (character != 0) {
        if (character == L'\r') {
            character = L'\n';
        }
        return {&character, 1};
    }
    for (const auto& [key, sequence] : kKeySequences) {
        if (key == event.Event.KeyEvent.wVirtualKeyCode) {
            return sequence;
        }
    }
    return {};
}

// Takes off the events at the front that type nothing; whether one that types waits.
bool keyWaits(HANDLE input) {
    for (;;) {
        INPUT_RECORD event{};
        DWORD count = 0;
        if (!::PeekConsoleInputW(input, &event, 1, &count) || count == 0) {
            return false;
        }
        wchar_t character = 0;
        if (!typedBy(event, character).empty()) {
            return true;
        }
        ::ReadConsoleInputW(input, &event, 1, &count);
    }
}

}  // namespace

Waited waitForKeys(int fd, int /*continuedFd*/, int /*alsoWake*/, milliseconds patience) {
    const HANDLE input = os::windows::handleOf(fd);
    const auto end = steady_clock::now() + patience;
    for (;;) {
        if (keyWaits(input)) {
            return Waited{true, false, false, false};
        }
        DWORD timeout = INFINITE;
        if (patience.count() >= 0) {
            const auto left = std::chrono::duration_cast<milliseconds>(end - steady_clock::now());
            timeout = static_cast<DWORD>(std::max<milliseconds::rep>(left.count(), 0));
        }
        const DWORD waited = ::WaitForSingleObject(input, timeout);
        if (waited == WAIT_TIMEOUT) {
            return {};
        }
        if (waited != WAIT_OBJECT_0) {
            return Waited{false, false, false, true};
        }
    }
}

// Reads the events that wait, as many as their text surely fits in `size` bytes: each types at
// most four bytes of UTF-8 (a sequence of ASCII, or a character: at most three, or a pair of
// halves four). Blocks only when no event waits at all.
long readKeys(int fd, char* into, std::size_t size) {
    const HANDLE input = os::windows::handleOf(fd);
    std::array<INPUT_RECORD, 16> events{};
    const DWORD wanted = static_cast<DWORD>(std::clamp<std::size_t>(size / 4, 1, events.size()));
    DWORD count = 0;
    if (!::ReadConsoleInputW(input, events.data(), wanted, &count)) {
        os::windows::setErrnoFromLastError();
        return -1;
    }
    std::wstring typed;
    for (DWORD at = 0; at < count; ++at) {
        wchar_t character = 0;
        typed += typedBy(events[at], character);
    }
    const std::string bytes = os::windows::utf8Of(typed);
    const std::size_t given = std::min(bytes.size(), size);
    std::memcpy(into, bytes.data(), given);
    if (given == 0) {
        errno = EAGAIN;  // events that typed nothing: not the end
        return -1;
    }
    return static_cast<long>(given);
}

void discardKeys(int fd) {
    ::FlushConsoleInputBuffer(os::windows::handleOf(fd));
}

WindowSize windowSize(int /*fd*/) {
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &screen)) {
        return {};
    }
    return {screen.srWindow.Bottom - screen.srWindow.Top + 1,
            screen.srWindow.Right - screen.srWindow.Left + 1};
}

}  // namespace orbalune::keyboard_device
