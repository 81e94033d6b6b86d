// The file system seam in a web page: Emscripten's files, in memory, which the page keeps in the
// browser's own storage (IndexedDB) as they are written. A page's files cannot be named at once
// (no unnamed files, links or renames that refuse to replace): a new one is created in place,
// and no other program in the page writes to it meanwhile.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cerrno>

#include "platform/os/file_system.hpp"

// Has the page keep the file open as `fd` as it is now: one of KeptFile.
EM_ASYNC_JS(int, orbalune_keep_file, (int fd), {
    const stream = FS.getStream(fd);
    return await Module.page.keepFile(stream.path,
                                      stream.node.contents.subarray(0, stream.node.usedBytes));
});

namespace orbalune::os {

namespace {

int unsupported(const std::string& /*from*/, const std::string& /*to*/) {
    return ENOSYS;
}

int createUnnamed(const std::string& /*directory*/, mode_t /*mode*/, UniqueFd& /*file*/) {
    return ENOSYS;
}

int nameUnnamed(int /*fd*/, const std::string& /*path*/) {
    return ENOSYS;
}

constexpr NamingCalls kSystemCalls{createUnnamed, nameUnnamed, unsupported, unsupported};

// What the page says of a file it was asked to keep; the page knows no C library's numbers.
enum KeptFile { kKept = 0, kStorageFull = 1, kNotKept = 2 };

bool keep(int fd) {
    switch (orbalune_keep_file(fd)) {
        case kKept:
            return true;
        case kStorageFull:
            errno = ENOSPC;
            return false;
        default:
            errno = EIO;
            return false;
    }
}

}  // namespace

const NamingCalls& systemNamingCalls() {
    return kSystemCalls;
}

bool syncData(int fd) {
    return keep(fd);
}

bool keepWritten(int fd) {
    return keep(fd);
}

UniqueFd watchWrites(const std::string& /*path*/) {
    return {};
}

void awaitWatch(int /*watch*/, std::chrono::milliseconds /*patience*/) {}

void drainWatch(int /*watch*/) {}

}  // namespace orbalune::os
