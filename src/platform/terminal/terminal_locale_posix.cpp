// What the terminal speaks, on POSIX and in a web page: what the user's locale says.
#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

namespace {

// The locale the user names for characters, as the C library picks it: LC_ALL, LC_CTYPE, LANG.
std::string_view namedLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

// Whether a locale's name says UTF-8 ("en_US.UTF-8", "de_DE.utf8@euro").
bool namesUtf8(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    std::string codeset(name.substr(dot + 1, name.find('@', dot) - dot - 1));
    std::transform(codeset.begin(), codeset.end(), codeset.begin(),
                   [](unsigned char letter) { return static_cast<char>(std::tolower(letter)); });
    return codeset == "utf-8" || codeset == "utf8";
}

}  // namespace

bool localeSpeaksUtf8() {
    const locale_t users = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (users == static_cast<locale_t>(nullptr)) {
        // A locale this machine does not have (an ssh player's, sent from home): its name still
        // says what the terminal speaks.
        return namesUtf8(namedLocale());
    }
    const std::string_view codeset = ::nl_langinfo_l(CODESET, users);
    const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
    ::freelocale(users);
    return utf8;
}

}  // namespace orbalune
