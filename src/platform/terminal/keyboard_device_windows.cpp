// The keyboard seam at a Windows console. Waiting is on the console's input handle, which is
// signalled by any input event: events that bring no character (a key let go, a shift key, the
// mouse, focus) are taken off and the wait goes on. Keys are read as UTF-16 and given as UTF-8,
// with the escape sequences the console makes of arrows and other keys in its virtual-terminal
// input mode. There is no stopping and continuing, nor other descriptors to wake on.
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

#include "platform/os/windows_calls.hpp"
#include "platform/terminal/keyboard_device.hpp"

namespace orbalune::keyboard_device {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

bool bringsCharacter(const INPUT_RECORD& event) {
    return event.EventType == KEY_EVENT && event.Event.KeyEvent.bKeyDown != 0 &&
           event.Event.KeyEvent.uChar.UnicodeChar != 0;
}

// Takes off the events at the front that bring no character; whether a character waits.
bool characterWaits(HANDLE input) {
    for (;;) {
        INPUT_RECORD event{};
        DWORD count = 0;
        if (!::PeekConsoleInputW(input, &event, 1, &count) || count == 0) {
            return false;
        }
        if (bringsCharacter(event)) {
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
        if (characterWaits(input)) {
            return Waited{true, false, false, false};
        }
    }
}

long readKeys(int fd, char* into, std::size_t size) {
    const HANDLE input = os::windows::handleOf(fd);
    // Up to a quarter as many UTF-16 units as bytes: each is at most three bytes of UTF-8, a
    // pair of them four.
    std::array<wchar_t, 64> units{};
    const DWORD wanted = static_cast<DWORD>(std::clamp<std::size_t>(size / 4, 1, units.size()));
    DWORD count = 0;
    if (!::ReadConsoleW(input, units.data(), wanted, &count, nullptr)) {
        os::windows::setErrnoFromLastError();
        return -1;
    }
    // A pair's second half is already waiting when its first is read.
    if (count > 0 && IS_HIGH_SURROGATE(units[count - 1]) && count < units.size()) {
        DWORD more = 0;
        ::ReadConsoleW(input, units.data() + count, 1, &more, nullptr);
        count += more;
    }
    const std::string bytes = os::windows::utf8Of(std::wstring_view(units.data(), count));
    const std::size_t given = std::min(bytes.size(), size);
    std::memcpy(into, bytes.data(), given);
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
