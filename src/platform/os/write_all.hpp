#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace orbalune {

// Writes all of `bytes` to `fd`, through interruptions and short writes; false, with errno set,
// when the system refuses (a full disk: ENOSPC).
inline bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            errno = count == 0 ? ENOSPC : errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace orbalune
