#include "platform/terminal/shown_text.hpp"

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

}  // namespace

std::string shownText(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (const char byte : bytes) {
        appendShown(shown, static_cast<unsigned char>(byte));
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
