// The file seam on Windows: files opened by their UTF-16 names and shared for reading, writing
// and renaming, as POSIX files are, then handed to the C library as descriptors in binary mode.
// A file's owner is the user its security descriptor names; a reparse point (a symbolic link, a
// junction) is a link.
#include <aclapi.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "platform/os/files.hpp"
#include "platform/os/windows_calls.hpp"

namespace orbalune::os {

namespace {

using windows::handleOf;
using windows::setErrnoFromLastError;
using windows::widePath;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// The SID of the token's user or its default owner for new objects (an administrator's files
// are owned by the Administrators group), as `TOKEN_USER` or `TOKEN_OWNER` holds it.
std::vector<char> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<char> bytes(size);
    if (size == 0 || !::GetTokenInformation(token, kind, bytes.data(), size, &size)) {
        bytes.clear();
    }
    return bytes;
}

bool ownedByPlayer(HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool owned = false;
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        const OwnedHandle closer(token);
        const std::vector<char> user = tokenInformation(token, TokenUser);
        const std::vector<char> defaultOwner = tokenInformation(token, TokenOwner);
        owned =
            (!user.empty() &&
             ::EqualSid(owner, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid)) ||
            (!defaultOwner.empty() &&
             ::EqualSid(owner, reinterpret_cast<const TOKEN_OWNER*>(defaultOwner.data())->Owner));
    }
    ::LocalFree(descriptor);
    return owned;
}

// Seconds since 1970 from Windows' hundreds of nanoseconds since 1601.
std::time_t unixTimeOf(const FILETIME& time) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::uint64_t kTicksTo1970 = 116'444'736'000'000'000;
    const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return ticks > kTicksTo1970 ? static_cast<std::time_t>((ticks - kTicksTo1970) / kTicksPerSecond)
                                : 0;
}

int factsOfHandle(HANDLE file, FileFacts& facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) {
        if (::GetFileType(file) == FILE_TYPE_DISK) {
            return setErrnoFromLastError();
        }
        facts = FileFacts{};  // a device or a pipe: not a file at all
        return 0;
    }
    const DWORD attributes = information.dwFileAttributes;
    facts.kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? FileKind::Link
                 : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0   ? FileKind::Directory
                 : ::GetFileType(file) == FILE_TYPE_DISK          ? FileKind::Regular
                                                                  : FileKind::Other;
    facts.ownedByPlayer = ownedByPlayer(file);
    facts.modified = unixTimeOf(information.ftLastWriteTime);
    facts.size = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    return 0;
}

HANDLE openHandle(const std::string& path, DWORD access, DWORD disposition, DWORD flags) {
    const std::optional<std::wstring> wide = widePath(path);
    if (!wide) {
        ::SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    return ::CreateFileW(wide->c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

UniqueFd descriptorFor(HANDLE handle, bool appends) {
    if (handle == INVALID_HANDLE_VALUE) {
        setErrnoFromLastError();
        return {};
    }
    return UniqueFd(windows::descriptorOf(handle, appends));
}

// What a game's file is opened with: its bytes, its facts and its owner; appending, if asked,
// where appending is all it may do.
constexpr DWORD kReading = GENERIC_READ | READ_CONTROL | FILE_READ_ATTRIBUTES;

}  // namespace

int factsAt(const std::string& path, bool followLinks, FileFacts& facts) {
    // Backup semantics: a folder is opened too, to be told apart.
    const HANDLE file =
        openHandle(path, FILE_READ_ATTRIBUTES | READ_CONTROL, OPEN_EXISTING,
                   FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT));
    if (file == INVALID_HANDLE_VALUE) {
        return setErrnoFromLastError();
    }
    const OwnedHandle closer(file);
    return factsOfHandle(file, facts);
}

int factsOf(int fd, FileFacts& facts) {
    const HANDLE file = handleOf(fd);
    if (file == INVALID_HANDLE_VALUE) {
        return EBADF;
    }
    return factsOfHandle(file, facts);
}

UniqueFd openExisting(const std::string& path, Access access) {
    const bool appends = access == Access::ReadAppend;
    return descriptorFor(openHandle(path, kReading | (appends ? FILE_APPEND_DATA : 0),
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL),
                         appends);
}

// The new file takes its permissions from its folder's inherited access list, as Windows' files
// do: there is no mode to give.
UniqueFd createNew(const std::string& path, mode_t /*mode*/) {
    return descriptorFor(
        openHandle(path, kReading | FILE_APPEND_DATA, CREATE_NEW, FILE_ATTRIBUTE_NORMAL), true);
}

int removeFile(const std::string& path) {
    const std::optional<std::wstring> wide = widePath(path);
    if (!wide) {
        return EINVAL;
    }
    return ::DeleteFileW(wide->c_str()) ? 0 : setErrnoFromLastError();
}

// A folder's names are in NTFS's journal once made; Windows has no call to sync a folder that an
// ordinary user may make.
void syncDirectory(const std::string& /*directory*/) {}

std::ptrdiff_t readAt(int fd, char* into, std::size_t size, std::uint64_t offset) {
    const HANDLE file = handleOf(fd);
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        const std::uint64_t from = offset + done;
        at.Offset = static_cast<DWORD>(from);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size - done, 1U << 30));
        DWORD count = 0;
        if (!::ReadFile(file, into + done, wanted, &count, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            setErrnoFromLastError();
            return -1;
        }
        if (count == 0) {
            break;
        }
        done += count;
    }
    return static_cast<std::ptrdiff_t>(done);
}

}  // namespace orbalune::os
