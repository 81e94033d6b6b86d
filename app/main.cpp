#include <iostream>

#include "platform/game_program.hpp"

int main(int argc, char** argv) {
    return orbalune::playGame(argc, argv, orbalune::terminalConsole(), std::cerr);
}
