#include "platform/terminal/shown_text.hpp"

#include "platform/terminal/key_sequences.hpp"
#include "platform/terminal/keys.hpp"

namespace orbalune {

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7f;
constexpr unsigned char kMetaBit = 0x80;
constexpr unsigned char kCaretOffset = 0x40;  // ^@ is 0, ^A is 1, ... ^? is DEL

void appendShown(std::string& shown, unsigned char byte) {
    if (byte >= kMetaBit) {
        shown += "M-";
        byte = static_cast<unsigned char>(byte - kMetaBit);
    }
    if (byte < kFirstPrintable || byte == kDelete) {
        shown += '^';
        byte = static_cast<unsigned char>(byte ^ kCaretOffset);
    }
    shown += static_cast<char>(byte);
}

// U+0080 to U+009F, which a terminal acts on as it does on ESC and the rest.
bool isC1Control(std::string_view character) {
    return static_cast<unsigned char>(character[0]) == 0xc2 &&
           static_cast<unsigned char>(character[1]) < 0xa0;
}

}  // namespace

std::string shownText(std::string_view bytes, bool utf8) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (utf8 && byte >= kMetaBit) {
            const std::size_t length = characterLength(bytes.substr(at));
            if (length > 0 && !isC1Control(bytes.substr(at))) {
                shown += bytes.substr(at, length);
                at += length;
                continue;
            }
        }
        appendShown(shown, byte);
        ++at;
    }
    return shown;
}

std::string shownKey(char key) {
    if (isBlankKey(key)) {
        return {};
    }
    std::string shown;
    appendShown(shown, static_cast<unsigned char>(key));
    shown += '\n';
    return shown;
}

}  // namespace orbalune
