#pragma once

#include <string>
#include <string_view>

namespace orbalune {

// Text from outside the program (a shared saved game, a file name) made safe for a terminal:
// printable ASCII as it is, every other byte in the caret notation a terminal's own echo uses
// ("^[" for ESC, "^?" for DEL, "M-" before a byte of 128 or more), so that no byte can move the
// cursor, retitle the window or clear the screen. With `utf8` (the terminal speaks it), a
// well-formed character of several bytes is shown as it is, but for the C1 controls.
std::string shownText(std::string_view bytes, bool utf8 = false);

// A key as the screen shows it after the prompt that took it: its shown text and a line end, the
// way a player's key and Enter look. A blank key is skipped by the game and shows as nothing.
std::string shownKey(char key);

}  // namespace orbalune
