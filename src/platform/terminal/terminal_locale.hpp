#pragma once

namespace orbalune {

// Whether the user's locale (LC_ALL, LC_CTYPE, LANG) says that the terminal speaks UTF-8: its
// keys then send characters of several bytes, and it shows them. Leaves the program's own
// locale as it is.
bool localeSpeaksUtf8();

}  // namespace orbalune
