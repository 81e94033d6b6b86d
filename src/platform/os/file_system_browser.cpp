// The file system seam in a web page: Emscripten's files, in memory, which the page keeps in the
// browser's own storage (IndexedDB) as they are written. A page's files cannot be named at once
// (no unnamed files, links or renames that refuse to replace): a new one is created in place,
// and no other program in the page writes to it meanwhile.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cerrno>

#include "platform/os/file_system.hpp"

// Has the page keep the file open as `fd` as it is now: 0, or an errno (ENOSPC: storage full).
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

bool keep(int fd) {
    const int error = orbalune_keep_file(fd);
    errno = error;
    return error == 0;
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

void drainWatch(int /*watch*/) {}

}  // namespace orbalune::os
