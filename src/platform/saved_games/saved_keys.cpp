#include "platform/saved_games/saved_keys.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/os/files.hpp"
#include "platform/saved_games/save_format.hpp"

namespace orbalune {

namespace {

// How many keys are read from the file at once: a small share of a long game, read in a blink.
constexpr std::size_t kWindow = std::size_t{1} << 16;

// How many keys the file at `fd` holds past `start`; as many as can be counted on this system.
std::size_t keysIn(int fd, std::uint64_t start) {
    os::FileFacts facts;
    if (const int error = os::factsOf(fd, facts); error != 0) {
        throw SaveFileError{std::string("cannot read: ") + std::strerror(error)};
    }
    const std::uint64_t bytes = facts.size;
    const std::uint64_t keys = bytes > start ? bytes - start : 0;
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(keys, std::numeric_limits<std::size_t>::max()));
}

}  // namespace

SavedKeys::SavedKeys(int fd, std::uint64_t start)
    : fd_(fd), start_(start), size_(keysIn(fd, start)) {}

std::string_view SavedKeys::piece(std::size_t index) {
    if (fd_ < 0) {
        return held_.substr(index);
    }
    if (index < windowStart_ || index - windowStart_ >= window_.size()) {
        window_.resize(std::min(kWindow, size_ - index));
        const std::ptrdiff_t count =
            os::readAt(fd_, window_.data(), window_.size(), start_ + index);
        if (count < 0) {
            throw SaveFileError{std::string("cannot read: ") + std::strerror(errno)};
        }
        window_.resize(static_cast<std::size_t>(count));
        windowStart_ = index;
        if (count == 0) {
            throw SaveFileError{"was cut short while it was read"};
        }
    }
    return std::string_view(window_).substr(index - windowStart_);
}

bool SavedKeys::grow() {
    if (fd_ < 0) {
        return false;
    }
    const std::size_t now = keysIn(fd_, start_);
    if (now <= size_) {
        return false;
    }
    size_ = now;
    return true;
}

SavedKeysStream::int_type SavedKeysStream::underflow() {
    if (next_ >= keys_.size()) {
        return traits_type::eof();
    }
    const std::string_view piece = keys_.piece(next_);
    // The stream only reads, as a view of a string does.
    char* const start = const_cast<char*>(piece.data());
    setg(start, start, start + piece.size());
    next_ += piece.size();
    return traits_type::to_int_type(*start);
}

}  // namespace orbalune
