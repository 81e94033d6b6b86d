#pragma once

#include <string>
#include <vector>

namespace orbalune::os {

// The program's arguments in UTF-8, as `main` would have them: on POSIX the bytes it was given
// (program_arguments_posix.cpp); on Windows, whose `main` gets them in the machine's legacy code
// page, read again from the wide command line (program_arguments_windows.cpp), so that a file
// named in any alphabet is found.
class ProgramArguments {
public:
    ProgramArguments(int argc, char** argv);
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    [[nodiscard]] int count() const { return static_cast<int>(words_.size()); }
    // argv's form, ending in a null pointer; valid while the record lives.
    [[nodiscard]] char** values() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

}  // namespace orbalune::os
