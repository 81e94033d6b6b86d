#include "platform/terminal/tracked_line.hpp"

#include <string_view>

namespace orbalune {

namespace {

// More than any screen line of the game; a longer one is kept by its end, as a terminal that
// wraps it would show its end last.
constexpr std::size_t kLongestLine = 1024;

}  // namespace

TrackedLine::int_type TrackedLine::overflow(int_type byte) {
    if (traits_type::eq_int_type(byte, traits_type::eof())) {
        return traits_type::not_eof(byte);
    }
    const char written = traits_type::to_char_type(byte);
    if (traits_type::eq_int_type(target_.sputc(written), traits_type::eof())) {
        return traits_type::eof();
    }
    remember(&written, 1);
    return byte;
}

std::streamsize TrackedLine::xsputn(const char* bytes, std::streamsize count) {
    const std::streamsize written = target_.sputn(bytes, count);
    if (written > 0) {
        remember(bytes, static_cast<std::size_t>(written));
    }
    return written;
}

void TrackedLine::remember(const char* bytes, std::size_t count) {
    const std::string_view text(bytes, count);
    const std::size_t lastEnd = text.rfind('\n');
    if (lastEnd != std::string_view::npos) {
        line_.assign(text.substr(lastEnd + 1));
    } else {
        line_.append(text);
    }
    if (line_.size() > kLongestLine) {
        line_.erase(0, line_.size() - kLongestLine);
    }
}

}  // namespace orbalune
