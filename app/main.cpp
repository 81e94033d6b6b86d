#include "game/platform.hpp"

int main() {
    return orbalune::playInTerminal();
}
