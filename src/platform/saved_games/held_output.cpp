#include "platform/saved_games/held_output.hpp"

#include <algorithm>

#include "platform/terminal/shown_text.hpp"

namespace orbalune {

namespace {
// Held text beyond this is cut down to its last screenful; a long game is replayed in memory
// that stays this small.
constexpr std::size_t kTrimAt = std::size_t{1} << 16;
}  // namespace

ScreenAtKey screenAtKey(std::string_view text, std::size_t keyEnd) {
    keyEnd = std::min(keyEnd, text.size());
    const std::size_t start = lastLinesStart(text.substr(0, keyEnd));
    return {std::string(text.substr(start)), keyEnd - start};
}

void HeldOutput::echo(char key) {
    const std::string shown = shownKey(key);
    sputn(shown.data(), static_cast<std::streamsize>(shown.size()));
    keyEnd_ = text_.size() + static_cast<std::size_t>(pptr() - pbase());
}

void HeldOutput::markCaughtUp() {
    drain();
    mark_ = text_.size();
}

std::string HeldOutput::screen() {
    drain();
    return text_.substr(std::min(lastLinesStart(text_), mark_));
}

ScreenAtKey HeldOutput::lastScreen() {
    drain();
    return screenAtKey(text_, keyEnd_);
}

void HeldOutput::prime(const ScreenAtKey& screen, bool caughtUp) {
    drain();
    text_ = screen.text;
    keyEnd_ = std::min(screen.sinceKey, text_.size());
    if (caughtUp) {
        mark_ = keyEnd_;
    }
}

void HeldOutput::release() {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    text_ = {};
    mark_ = std::string::npos;
}

HeldOutput::int_type HeldOutput::overflow(int_type c) {
    drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        sputc(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
}

int HeldOutput::sync() {
    drain();
    return 0;
}

void HeldOutput::drain() {
    text_.append(pbase(), pptr());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (mark_ == std::string::npos && text_.size() > kTrimAt) {
        const std::size_t start = lastLinesStart(text_);
        text_.erase(0, start);
        keyEnd_ = keyEnd_ > start ? keyEnd_ - start : 0;
    }
}

std::size_t lastLinesStart(std::string_view text) {
    std::size_t start = text.size();
    for (std::size_t lineEnds = 0; start > 0; --start) {
        if (text[start - 1] == '\n' && ++lineEnds == kScreenLines) {
            break;
        }
    }
    return start;
}

}  // namespace orbalune
