#pragma once

#include <sys/types.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "platform/os/unique_fd.hpp"

// The operating system seam: the few file calls that POSIX does not have, or has in a weaker
// form. Each has a plain POSIX fallback (file_system_posix.cpp), which every other system gets
// and which a build can be asked to use alone; Windows has its own (file_system_windows.cpp).
namespace orbalune::os {

// The calls that give a new file its name, each returning 0 or the errno of its refusal. A file
// system may refuse any of them as unsupported (see `isUnsupported`). Held in a record so that a
// test can play a file system that refuses some.
struct NamingCalls {
    // Opens a new file in `directory` that has no name yet, for reading and appending, with
    // the permissions `mode`. Nothing is left behind if the program dies before it is named.
    int (*createUnnamed)(const std::string& directory, mode_t mode, UniqueFd& file);
    // Gives the unnamed file `fd` the name `path`; EEXIST, never a replacement, if it is taken.
    int (*nameUnnamed)(int fd, const std::string& path);
    // A second name `to` for the file `from`; EEXIST if `to` is taken.
    int (*hardLink)(const std::string& from, const std::string& to);
    // Moves `from` to `to` at once; EEXIST, never a replacement, if `to` is taken.
    int (*renameNoReplace)(const std::string& from, const std::string& to);
};

// This system's calls; the fallbacks refuse those that POSIX cannot do safely.
const NamingCalls& systemNamingCalls();

// Whether an errno from a NamingCalls call says that the file system cannot do it at all, rather
// than that this file could not be made: EPERM is how FAT file systems refuse hard links, EINVAL
// how those without it refuse the flag of a rename that never replaces, ENOSYS a missing call.
inline bool isUnsupported(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == EPERM || error == EINVAL ||
           error == ENOSYS;
}

// Puts what was written to `fd` on the disk itself (its data, and what is needed to read it
// back); false, with errno set, when the disk refuses.
bool syncData(int fd);

// Makes what was just written to `fd` outlast the program, if not the machine: a program that
// crashes or is killed next loses none of it. Where the system keeps a file's bytes once they
// are written (every POSIX system) there is nothing to do; a web page keeps its files in the
// browser's storage. False, with errno set, when that refuses (full: ENOSPC).
bool keepWritten(int fd);

// A descriptor that becomes readable when the file at `path` is written to or closed after
// writing; empty where the system cannot tell, and the caller must look from time to time.
UniqueFd watchWrites(const std::string& path);

// Waits up to `patience` for a watch from `watchWrites` to have something to tell.
void awaitWatch(int watch, std::chrono::milliseconds patience);

// Takes what a watch from `watchWrites` has to tell, so that it waits for the next write.
void drainWatch(int watch);

}  // namespace orbalune::os
