#include <iostream>

#include "platform/os/program_arguments.hpp"
#include "platform/os/standard_streams.hpp"
#include "platform/programs/program_output.hpp"
#include "platform/replay/replay.hpp"

int main(int argc, char** argv) {
    using orbalune::os::kStandardInput;
    using orbalune::os::kStandardOutput;
    orbalune::prepareStandardStreams();
    std::ios::sync_with_stdio(false);
    const bool atTerminal =
        orbalune::os::isTerminal(kStandardInput) && orbalune::os::isTerminal(kStandardOutput);
    orbalune::os::ProgramArguments arguments(argc, argv);
    return orbalune::replay(
        arguments.count(), arguments.values(),
        orbalune::ReplayTerminal{std::cin, std::cout, std::cerr, orbalune::sleepFor,
                                 atTerminal ? kStandardInput : -1,
                                 atTerminal ? kStandardOutput : -1});
}
