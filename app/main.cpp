#include "platform/programs/game_program.hpp"

int main(int argc, char** argv) {
    return orbalune::playAtTerminal(argc, argv);
}
