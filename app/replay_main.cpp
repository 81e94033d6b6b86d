#include <unistd.h>

#include <iostream>

#include "platform/programs/program_output.hpp"
#include "platform/replay/replay.hpp"

int main(int argc, char** argv) {
    orbalune::openClosedStandardDescriptors();
    orbalune::failWritesPastTheSizeLimit();
    std::ios::sync_with_stdio(false);
    const bool atTerminal = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
    return orbalune::replay(
        argc, argv,
        orbalune::ReplayTerminal{std::cin, std::cout, std::cerr, orbalune::sleepFor,
                                 atTerminal ? STDIN_FILENO : -1, atTerminal ? STDOUT_FILENO : -1});
}
