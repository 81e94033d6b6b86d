#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "platform/os/unique_fd.hpp"

// The file calls a saved game is opened, created, read and checked with, on descriptors: POSIX's
// own (files_posix.cpp, which a web page's files answer too), or Windows' files behind the C
// library's descriptors (files_windows.cpp). Paths are UTF-8. Each failure is an errno.
namespace orbalune::os {

enum class FileKind { Regular, Directory, Link, Other };

// What a saved game's checks need to know of a file.
struct FileFacts {
    FileKind kind = FileKind::Other;
    // Made by the user this program runs as: a player's own file, or a link of the player's.
    bool ownedByPlayer = false;
    std::time_t modified = 0;
    std::uint64_t size = 0;
};

// The facts of the file at `path`, followed through links or of a link itself (a symbolic link,
// or on Windows any reparse point); 0, or the errno of the refusal (ENOENT: nothing there).
int factsAt(const std::string& path, bool followLinks, FileFacts& facts);

// The facts of the open file `fd`; 0 or an errno.
int factsOf(int fd, FileFacts& facts);

enum class Access { Read, ReadAppend };

// Opens a file that exists, never as a controlling terminal, never blocking on a FIFO, and not
// handed down to programs this one starts; empty, with errno set, when it is refused.
UniqueFd openExisting(const std::string& path, Access access);

// Creates the file `path`, which must not exist (EEXIST if it does), for reading and appending,
// with the permissions `mode` as the system lessens them; empty, with errno set, when refused.
UniqueFd createNew(const std::string& path, mode_t mode);

// Removes the name `path`; 0 or an errno.
int removeFile(const std::string& path);

// Puts the names in `directory` on the disk itself, as far as the system can; best effort.
void syncDirectory(const std::string& directory);

// Reads `size` bytes from `offset` of the file `fd` into `into`, through interruptions and short
// reads, or up to the file's end; how many it read, or -1 with errno set when the system refuses.
std::ptrdiff_t readAt(int fd, char* into, std::size_t size, std::uint64_t offset);

}  // namespace orbalune::os
