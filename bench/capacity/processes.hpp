#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace orbalune::capacity {

// What a process that ended cost.
struct ProcessCost {
    int status = -1;              // as waitpid gives it
    double processorSeconds = 0;  // user and system time
    long peakKilobytes = 0;       // its largest resident set
};

// Starts `program` with `arguments`, its standard input and output on the descriptors given
// (-1: /dev/null) and its standard error on /dev/null. Returns its process id; throws
// std::system_error if it cannot be started.
pid_t startProcess(const std::string& program, const std::vector<std::string>& arguments, int input,
                   int output);

// Waits for the process to end, and says what it cost.
ProcessCost awaitProcess(pid_t pid);

// A pipe whose ends are closed in the processes started; throws std::system_error.
struct Pipe {
    int read = -1;
    int write = -1;
};
Pipe makePipe();

}  // namespace orbalune::capacity
