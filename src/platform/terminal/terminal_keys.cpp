#include "platform/terminal/terminal_keys.hpp"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace orbalune {

TerminalKeys::TerminalKeys(int fd, int endKey) : fd_(fd), endKey_(endKey) {
    setg(buffer_.data(), buffer_.data(), buffer_.data());
}

void TerminalKeys::discardTyped() {
    endPending_ = false;
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    ::tcflush(fd_, TCIFLUSH);
}

TerminalKeys::int_type TerminalKeys::underflow() {
    if (gptr() == egptr() && endPending_) {
        ended_ = true;
    }
    if (ended_) {
        return traits_type::eof();
    }
    if (gptr() == egptr()) {
        ssize_t count = 0;
        do {
            count = ::read(fd_, buffer_.data(), buffer_.size());
        } while (count < 0 && errno == EINTR);
        if (count <= 0) {  // the terminal hung up, or is gone
            ended_ = true;
            return traits_type::eof();
        }
        // Keys after the end key are never handed out: the get area stops just before it.
        char* const end = buffer_.data() + count;
        char* const endKey = std::find_if(buffer_.data(), end, [this](char key) {
            return traits_type::to_int_type(key) == endKey_;
        });
        setg(buffer_.data(), buffer_.data(), endKey);
        endPending_ = endKey != end;
        return underflow();
    }
    return traits_type::to_int_type(*gptr());
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
