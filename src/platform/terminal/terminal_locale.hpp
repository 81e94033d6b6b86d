#pragma once

namespace orbalune {

// Whether the user's locale (LC_ALL, LC_CTYPE, LANG) says that the terminal speaks UTF-8: its
// keys then send characters of several bytes, and it shows them. A locale this machine does not
// have says so by its name (an ssh player's en_US.UTF-8 on a server without it). Leaves the
// program's own locale as it is. At a Windows console: whether its code page is UTF-8's, as
// single-key mode sets it.
bool localeSpeaksUtf8();

}  // namespace orbalune
