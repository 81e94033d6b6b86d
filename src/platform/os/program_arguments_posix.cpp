// The program's arguments on POSIX, and in a web page: as they came.
#include "platform/os/program_arguments.hpp"

namespace orbalune::os {

ProgramArguments::ProgramArguments(int argc, char** argv) : words_(argv, argv + argc) {
    for (std::string& word : words_) {
        pointers_.push_back(word.data());
    }
    pointers_.push_back(nullptr);
}

}  // namespace orbalune::os
