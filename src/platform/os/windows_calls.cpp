#include "platform/os/windows_calls.hpp"

#include <fcntl.h>
#include <io.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>

namespace orbalune::os::windows {

namespace {

// Windows' reasons and the errno values the rest of the program knows them by.
constexpr std::array<std::pair<DWORD, int>, 22> kErrnoOf = {{
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_LOCK_VIOLATION, EWOULDBLOCK},
    {ERROR_IO_PENDING, EWOULDBLOCK},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_INVALID_NAME, EINVAL},
    {ERROR_BAD_PATHNAME, EINVAL},
    {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_BUFFER_OVERFLOW, ENAMETOOLONG},
    {ERROR_NOT_SUPPORTED, ENOTSUP},
    {ERROR_INVALID_FUNCTION, ENOTSUP},
    {ERROR_NOT_SAME_DEVICE, EXDEV},
    {ERROR_INVALID_HANDLE, EBADF},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
}};

}  // namespace

int errnoOf(DWORD error) {
    for (const auto& [windows, posix] : kErrnoOf) {
        if (windows == error) {
            return posix;
        }
    }
    return EIO;
}

int setErrnoFromLastError() {
    errno = errnoOf(::GetLastError());
    return errno;
}

std::optional<std::wstring> widePath(std::string_view utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                           static_cast<int>(utf8.size()), nullptr, 0);
    if (size <= 0 || utf8.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                          wide.data(), size);
    return wide;
}

std::string utf8Of(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                          nullptr, nullptr);
    return utf8;
}

HANDLE handleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

int descriptorOf(HANDLE handle, bool appends) {
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle),
                                     _O_BINARY | (appends ? _O_APPEND : _O_RDONLY));
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

}  // namespace orbalune::os::windows
