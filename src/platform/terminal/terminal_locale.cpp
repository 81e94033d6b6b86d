#include "platform/terminal/terminal_locale.hpp"

#include <langinfo.h>

#include <clocale>
#include <string_view>

namespace orbalune {

bool localeSpeaksUtf8() {
    const locale_t users = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (users == static_cast<locale_t>(nullptr)) {
        return false;  // a locale that is not installed: the C locale's ASCII
    }
    const std::string_view codeset = ::nl_langinfo_l(CODESET, users);
    const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
    ::freelocale(users);
    return utf8;
}

}  // namespace orbalune
