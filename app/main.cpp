#include "platform/os/program_arguments.hpp"
#include "platform/programs/game_program.hpp"

int main(int argc, char** argv) {
    orbalune::os::ProgramArguments arguments(argc, argv);
    return orbalune::playAtTerminal(arguments.count(), arguments.values());
}
