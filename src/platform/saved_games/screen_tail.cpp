#include "platform/saved_games/screen_tail.hpp"

#include "platform/saved_games/held_output.hpp"

namespace orbalune {

namespace {
// Kept text beyond this is cut down to its last screenful.
constexpr std::size_t kTrimAt = std::size_t{1} << 14;
}  // namespace

void ScreenTail::shownElsewhere(std::string_view text) {
    text_ += text;
}

void ScreenTail::clear() {
    text_.clear();
    keyEnd_ = 0;
}

ScreenTail::int_type ScreenTail::overflow(int_type byte) {
    if (traits_type::eq_int_type(byte, traits_type::eof())) {
        return traits_type::not_eof(byte);
    }
    const char shown = traits_type::to_char_type(byte);
    return xsputn(&shown, 1) == 1 ? byte : traits_type::eof();
}

std::streamsize ScreenTail::xsputn(const char* bytes, std::streamsize count) {
    const std::streamsize written = target_.sputn(bytes, count);
    text_.append(bytes, static_cast<std::size_t>(written));
    if (text_.size() > kTrimAt) {
        const std::size_t start = lastLinesStart(text_);
        text_.erase(0, start);
        keyEnd_ = keyEnd_ > start ? keyEnd_ - start : 0;
    }
    return written;
}

}  // namespace orbalune
