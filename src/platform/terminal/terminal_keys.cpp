#include "platform/terminal/terminal_keys.hpp"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/terminal/key_sequences.hpp"

namespace orbalune {

namespace {

// Takes every byte a wake-up descriptor holds; whether there was any.
bool drain(int fd) {
    bool any = false;
    std::array<char, 16> bytes{};
    while (fd >= 0 && ::read(fd, bytes.data(), bytes.size()) > 0) {
        any = true;
    }
    return any;
}

}  // namespace

TerminalKeys::TerminalKeys(int fd, int endKey, bool utf8, int continuedFd)
    : fd_(fd), endKey_(endKey), utf8_(utf8), continuedFd_(continuedFd) {
    setg(buffer_.data(), buffer_.data(), buffer_.data());
}

void TerminalKeys::discardTyped() {
    endPending_ = false;
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    ::tcflush(fd_, TCIFLUSH);
}

void TerminalKeys::checkContinued() {
    if (drain(continuedFd_) && mend_) {
        mend_();
    }
}

TerminalKeys::WindowSize TerminalKeys::windowSize() const {
    winsize size{};
    if (::ioctl(fd_, TIOCGWINSZ, &size) != 0) {
        return {};
    }
    return {size.ws_row, size.ws_col};
}

bool TerminalKeys::readMore(std::chrono::milliseconds patience) {
    if (ended_ || endPending_ || egptr() - gptr() == static_cast<std::ptrdiff_t>(buffer_.size())) {
        return false;
    }
    // What is left moves to the front, to make room behind it.
    const auto held = static_cast<std::size_t>(egptr() - gptr());
    std::memmove(buffer_.data(), gptr(), held);
    setg(buffer_.data(), buffer_.data(), buffer_.data() + held);
    // A descriptor of -1 is left out of the poll.
    std::array<pollfd, 3> waited = {pollfd{fd_, POLLIN, 0}, pollfd{continuedFd_, POLLIN, 0},
                                    pollfd{alsoWake_, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(waited.data(), waited.size(),
                                 patience.count() < 0 ? -1 : static_cast<int>(patience.count()));
        if (ready == 0) {
            return false;
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            ended_ = true;
            return false;
        }
        if (waited[1].revents != 0) {
            checkContinued();
        }
        if (waited[0].revents == 0) {
            if (patience.count() >= 0) {
                return false;  // woken: the caller looks, and waits again if it likes
            }
            continue;
        }
        const ssize_t count = ::read(fd_, egptr(), buffer_.size() - held);
        if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;  // a terminal left non-blocking: nothing yet is not the end
        }
        if (count <= 0) {  // the terminal hung up, or is gone
            ended_ = true;
            return false;
        }
        // Keys after the end key are never handed out: the get area stops just before it.
        char* const end = egptr() + count;
        char* const endKey = std::find_if(
            egptr(), end, [this](char key) { return traits_type::to_int_type(key) == endKey_; });
        setg(eback(), gptr(), endKey);
        endPending_ = endKey != end;
        return endKey != gptr() + held;
    }
}

TerminalKeys::int_type TerminalKeys::underflow() {
    for (;;) {
        if (gptr() == egptr() && !readMore(std::chrono::milliseconds(-1))) {
            if (endPending_ && gptr() == egptr()) {
                ended_ = true;
            }
            if (ended_) {
                return traits_type::eof();
            }
            continue;
        }
        const SplitKey key = splitFront();
        if (key.kind == KeyKind::Byte) {
            return traits_type::to_int_type(*gptr());
        }
        if (key.kind == KeyKind::Arrow && arrowsMove_) {
            // The sequence's last byte becomes its letter, and the letter the key.
            gbump(static_cast<int>(key.length) - 1);
            *gptr() = key.move;
            return traits_type::to_int_type(key.move);
        }
        gbump(static_cast<int>(key.length));
    }
}

SplitKey TerminalKeys::splitFront() {
    std::string_view bytes(gptr(), static_cast<std::size_t>(egptr() - gptr()));
    SplitKey key = splitKey(bytes, utf8_, true);
    while (key.kind == KeyKind::Incomplete) {
        const bool more = readMore(kSequenceWait);
        bytes = std::string_view(gptr(), static_cast<std::size_t>(egptr() - gptr()));
        key = splitKey(bytes, utf8_, more && bytes.size() < kLongestSequence);
    }
    return key;
}

PressedKey TerminalKeys::pressKey(std::chrono::milliseconds patience, int alsoWake) {
    alsoWake_ = alsoWake;
    const bool any = gptr() != egptr() || readMore(patience);
    alsoWake_ = -1;
    if (!any) {
        if (endPending_ && gptr() == egptr()) {
            ended_ = true;
        }
        return PressedKey{ended_ ? PressedKey::Kind::Ended : PressedKey::Kind::None};
    }
    const SplitKey key = splitFront();
    const char first = *gptr();
    gbump(static_cast<int>(key.length));
    switch (key.kind) {
        case KeyKind::Byte:
            return PressedKey{PressedKey::Kind::Byte, first};
        case KeyKind::Arrow:
            return PressedKey{PressedKey::Kind::Arrow, key.move};
        case KeyKind::End:
            return PressedKey{PressedKey::Kind::End};
        default:
            return PressedKey{};
    }
}

// What can be taken without waiting, so that the game knows when it is about to wait.
std::streamsize TerminalKeys::showmanyc() {
    if (ended_) {
        return -1;
    }
    int pending = 0;
    return ::ioctl(fd_, FIONREAD, &pending) == 0 ? pending : 0;
}

}  // namespace orbalune
