#include "bench/capacity/processes.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

extern char** environ;

namespace orbalune::capacity {

namespace {

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

[[noreturn]] void fail(int error, const char* what) {
    throw std::system_error(error, std::generic_category(), what);
}

}  // namespace

pid_t startProcess(const std::string& program, const std::vector<std::string>& arguments, int input,
                   int output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    auto place = [&actions](int fd, int target, int flags) {
        if (fd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, fd, target);
        } else {
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", flags, 0);
        }
    };
    place(input, STDIN_FILENO, O_RDONLY);
    place(output, STDOUT_FILENO, O_WRONLY);
    place(-1, STDERR_FILENO, O_WRONLY);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        fail(error, "cannot start a game");
    }
    return pid;
}

ProcessCost awaitProcess(pid_t pid) {
    ProcessCost cost;
    rusage usage{};
    while (::wait4(pid, &cost.status, 0, &usage) < 0) {
        if (errno != EINTR) {
            fail(errno, "cannot wait for a game");
        }
    }
    cost.processorSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.peakKilobytes = usage.ru_maxrss;
    return cost;
}

Pipe makePipe() {
    int ends[2];
    if (::pipe(ends) != 0) {
        fail(errno, "cannot make a pipe");
    }
    for (const int end : ends) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    return Pipe{ends[0], ends[1]};
}

}  // namespace orbalune::capacity
