// The seam in plain POSIX, for every system without a port of its own. Files are named through
// hard links alone: POSIX has neither unnamed files nor a rename that refuses to replace.
#include <unistd.h>

#include <cerrno>

#include "platform/os/file_system.hpp"

namespace orbalune::os {

namespace {

int createUnnamed(const std::string& /*directory*/, mode_t /*mode*/, UniqueFd& /*file*/) {
    return ENOTSUP;
}

int nameUnnamed(int /*fd*/, const std::string& /*path*/) {
    return ENOTSUP;
}

int hardLink(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int renameNoReplace(const std::string& /*from*/, const std::string& /*to*/) {
    return ENOTSUP;
}

constexpr NamingCalls kSystemCalls{createUnnamed, nameUnnamed, hardLink, renameNoReplace};

}  // namespace

const NamingCalls& systemNamingCalls() {
    return kSystemCalls;
}

bool syncData(int fd) {
    return ::fsync(fd) == 0;
}

bool keepWritten(int /*fd*/) {
    return true;  // in the kernel's cache once written
}

UniqueFd watchWrites(const std::string& /*path*/) {
    return {};
}

void awaitWatch(int /*watch*/, std::chrono::milliseconds /*patience*/) {}

void drainWatch(int /*watch*/) {}

}  // namespace orbalune::os
