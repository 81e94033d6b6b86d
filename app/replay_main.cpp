#include <iostream>

#include "platform/replay.hpp"

int main(int argc, char** argv) {
    return orbalune::replay(argc, argv, std::cin, std::cout, std::cerr);
}
