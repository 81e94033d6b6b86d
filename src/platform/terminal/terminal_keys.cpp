#include "platform/terminal/terminal_keys.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/terminal/key_sequences.hpp"
#include "platform/terminal/keyboard_device.hpp"

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
    : fd_(fd), endKey_(endKey), utf8_(utf8), continuedFd_(continuedFd), splitter_(utf8) {
    setg(&key_, &key_, &key_);
}

void TerminalKeys::discardTyped() {
    endPending_ = false;
    split_ = {};
    splitTaken_ = 0;
    setg(&key_, &key_, &key_);
    // What was typed goes through the splitter to be dropped, so that a key begun now and
    // ended after is dropped whole: the end of an arrow is not read as letters.
    for (; begin_ < end_; ++begin_) {
        splitter_.take(buffer_[begin_]);
    }
    begin_ = end_ = 0;
    for (std::size_t reads = 0;; ++reads) {
        if (reads == kMostReadsDropped) {  // keys pouring in: dropped unread
            keyboard_device::discardKeys(fd_);
            splitter_ = KeySplitter(utf8_);
            break;
        }
        if (!keyboard_device::waitForKeys(fd_, -1, -1, std::chrono::milliseconds(0)).keys) {
            break;
        }
        const long count = keyboard_device::readKeys(fd_, buffer_.data(), buffer_.size());
        if (count <= 0) {
            break;  // nothing after all, or the end: the next read says which
        }
        for (long at = 0; at < count; ++at) {
            splitter_.take(buffer_[static_cast<std::size_t>(at)]);
        }
    }
    splitter_.abandon();
}

void TerminalKeys::checkContinued() {
    if (drain(continuedFd_)) {
        mend();
    }
}

void TerminalKeys::mend() {
    if (mend_) {
        mend_();
    }
}

TerminalKeys::WindowSize TerminalKeys::windowSize() const {
    return keyboard_device::windowSize(fd_);
}

bool TerminalKeys::readMore(std::chrono::milliseconds patience, int alsoWake) {
    if (ended_ || endPending_) {
        return false;
    }
    for (;;) {
        const keyboard_device::Waited waited =
            keyboard_device::waitForKeys(fd_, continuedFd_, alsoWake, patience);
        if (waited.failed) {
            ended_ = true;
            return false;
        }
        if (waited.continued) {
            // A keyboard with no descriptor of continuing (a web page's) says so itself.
            if (continuedFd_ < 0) {
                mend();
            } else {
                checkContinued();
            }
        }
        if (!waited.keys) {
            if (patience.count() >= 0) {
                return false;  // out of time, or woken: the caller looks, and waits again
            }
            continue;
        }
        const long count = keyboard_device::readKeys(fd_, buffer_.data(), buffer_.size());
        if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;  // a terminal left non-blocking: nothing yet is not the end
        }
        if (count <= 0) {  // the terminal hung up, or is gone
            ended_ = true;
            return false;
        }
        // Keys after the end key are never handed out: the buffer stops just before it.
        const auto* const read = buffer_.data();
        const auto* const endKey = std::find_if(read, read + count, [this](char key) {
            return traits_type::to_int_type(key) == endKey_;
        });
        begin_ = 0;
        end_ = static_cast<std::size_t>(endKey - read);
        endPending_ = endKey != read + count;
        return end_ > 0;
    }
}

std::optional<Key> TerminalKeys::nextKey(std::chrono::milliseconds patience, int alsoWake) {
    for (;;) {
        if (splitTaken_ < split_.count) {
            return split_.keys[splitTaken_++];
        }
        split_ = {};
        splitTaken_ = 0;
        if (begin_ < end_) {
            split_ = splitter_.take(buffer_[begin_++]);
        } else if (splitter_.pending()) {
            if (!readMore(kSequenceWait)) {
                // No more of it came: it is what was typed, unless the input ended in the middle
                // of it (a hang-up, Ctrl-D), which leaves no key.
                if (ended_ || endPending_) {
                    splitter_.abandon();
                }
                split_ = splitter_.flush();
            }
        } else if (!readMore(patience, alsoWake)) {
            if (endPending_) {
                ended_ = true;
            }
            return std::nullopt;
        }
    }
}

bool TerminalKeys::prepareKey(std::chrono::milliseconds patience) {
    while (const std::optional<Key> key = nextKey(patience)) {
        // A NUL is never a key: Linux makes one of a Ctrl-D typed ahead at the shell's line-mode
        // terminal when single-key mode begins, and no question takes Ctrl-Space's.
        if (key->kind == KeyKind::Byte && key->byte == '\0') {
            continue;
        }
        if (key->kind == KeyKind::Byte || (key->kind == KeyKind::Arrow && arrowsMove_)) {
            key_ = key->byte;
            setg(&key_, &key_, &key_ + 1);
            return true;
        }
    }
    return false;
}

TerminalKeys::int_type TerminalKeys::underflow() {
    while (!ended_) {
        if (prepareKey(std::chrono::milliseconds(-1))) {
            return traits_type::to_int_type(key_);
        }
    }
    return traits_type::eof();
}

std::streamsize TerminalKeys::showmanyc() {
    if (prepareKey(std::chrono::milliseconds(0))) {
        return 1;
    }
    return ended_ ? -1 : 0;
}

PressedKey TerminalKeys::pressKey(std::chrono::milliseconds patience, int alsoWake) {
    const std::optional<Key> key = nextKey(patience, alsoWake);
    if (!key) {
        return PressedKey{ended_ ? PressedKey::Kind::Ended : PressedKey::Kind::None};
    }
    switch (key->kind) {
        case KeyKind::Byte:
            return PressedKey{PressedKey::Kind::Byte, key->byte};
        case KeyKind::Arrow:
            return PressedKey{PressedKey::Kind::Arrow, key->byte};
        case KeyKind::End:
            return PressedKey{PressedKey::Kind::End};
        default:
            return PressedKey{};
    }
}

}  // namespace orbalune
