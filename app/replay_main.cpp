#include <iostream>

#include "platform/replay.hpp"

int main(int argc, char** argv) {
    return orbalune::replay(
        argc, argv, orbalune::ReplayTerminal{std::cin, std::cout, std::cerr, orbalune::sleepFor});
}
