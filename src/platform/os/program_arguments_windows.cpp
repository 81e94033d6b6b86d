// The program's arguments on Windows: the wide command line, split as the C library splits it,
// each word made UTF-8.
#include <windows.h>
// After windows.h, whose types it takes.
#include <shellapi.h>

#include "platform/os/program_arguments.hpp"
#include "platform/os/windows_calls.hpp"

namespace orbalune::os {

ProgramArguments::ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide != nullptr && count == argc) {
        for (int at = 0; at < count; ++at) {
            words_.push_back(windows::utf8Of(wide[at]));
        }
    } else {
        words_.assign(argv, argv + argc);  // as the C library gave them
    }
    ::LocalFree(wide);
    for (std::string& word : words_) {
        pointers_.push_back(word.data());
    }
    pointers_.push_back(nullptr);
}

}  // namespace orbalune::os
