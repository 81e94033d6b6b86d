#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// What Windows' side of the seam shares: its errors as errno values, its paths as UTF-16, and the
// handles under the C library's descriptors, through which the rest of the program sees files.
namespace orbalune::os::windows {

// The errno that says what the Windows error `error` (from GetLastError) says.
int errnoOf(DWORD error);

// Sets errno from GetLastError; returns the errno set.
int setErrnoFromLastError();

// The UTF-16 form of a UTF-8 path, which the wide calls take; nothing if it is not UTF-8.
std::optional<std::wstring> widePath(std::string_view utf8);

// The UTF-8 form of UTF-16 text.
std::string utf8Of(std::wstring_view text);

// The handle under the descriptor `fd`; INVALID_HANDLE_VALUE if there is none.
HANDLE handleOf(int fd);

// A descriptor that owns `handle` from now on (it is closed with the descriptor), opened for
// reading only or for reading and appending; -1 with errno set if it cannot be had, and the
// handle is closed.
int descriptorOf(HANDLE handle, bool appends);

}  // namespace orbalune::os::windows
