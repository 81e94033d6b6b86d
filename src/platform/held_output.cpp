#include "platform/held_output.hpp"

#include <algorithm>

namespace orbalune {

namespace {
// Held text beyond this is cut down to its last screenful; a long game is replayed in memory
// that stays this small.
constexpr std::size_t kTrimAt = std::size_t{1} << 16;
}  // namespace

void HeldOutput::echo(char key) {
    const char echoed[] = {key, '\n'};
    append(std::string_view(echoed, sizeof echoed));
}

void HeldOutput::markCaughtUp() {
    mark_ = text_.size();
}

std::string HeldOutput::screen() const {
    return text_.substr(std::min(lastLinesStart(), mark_));
}

void HeldOutput::release() {
    text_ = {};
    mark_ = std::string::npos;
}

HeldOutput::int_type HeldOutput::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        const char character = traits_type::to_char_type(c);
        append(std::string_view(&character, 1));
    }
    return traits_type::not_eof(c);
}

std::streamsize HeldOutput::xsputn(const char* text, std::streamsize count) {
    append(std::string_view(text, static_cast<std::size_t>(count)));
    return count;
}

void HeldOutput::append(std::string_view text) {
    text_.append(text);
    if (mark_ == std::string::npos && text_.size() > kTrimAt) {
        text_.erase(0, lastLinesStart());
    }
}

// Where the last kScreenLines lines begin, the last one being the prompt that has no line end.
std::size_t HeldOutput::lastLinesStart() const {
    std::size_t start = text_.size();
    for (std::size_t lineEnds = 0; start > 0; --start) {
        if (text_[start - 1] == '\n' && ++lineEnds == kScreenLines) {
            break;
        }
    }
    return start;
}

}  // namespace orbalune
