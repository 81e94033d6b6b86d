#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace orbalune {

// Reads `size` bytes from `offset` of the file `fd` into `into`, through interruptions and short
// reads, or up to the file's end; how many it read, or -1 with errno set when the system refuses.
inline std::ptrdiff_t readAt(int fd, char* into, std::size_t size, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count =
            ::pread(fd, into + done, size - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return -1;
        }
        if (count == 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return static_cast<std::ptrdiff_t>(done);
}

}  // namespace orbalune
