#pragma once

#include <cctype>

namespace orbalune {

// A blank the game skips when it reads a key (space, tab, line end, ...): it is never an answer,
// so saved games need not keep it.
inline bool isBlankKey(char key) {
    return std::isspace(static_cast<unsigned char>(key)) != 0;
}

}  // namespace orbalune
