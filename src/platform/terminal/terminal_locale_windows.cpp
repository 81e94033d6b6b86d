// What a Windows console speaks: its output code page says, which single-key mode sets to
// UTF-8's; the keys it reads are made UTF-8 whatever the code page.
#include <windows.h>

#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

bool localeSpeaksUtf8() {
    return ::GetConsoleOutputCP() == CP_UTF8;
}

}  // namespace orbalune
