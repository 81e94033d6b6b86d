#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace orbalune {

// A plain decimal number from 0 to 4294967295: digits only, no sign, no spaces.
inline std::optional<std::uint32_t> parseUint32(std::string_view text) {
    std::uint64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end ||
        value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

namespace detail {
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
// Skips a run of digits; whether there was one.
inline bool skipDigits(std::string_view& text) {
    std::size_t count = 0;
    while (count < text.size() && isDigit(text[count])) {
        ++count;
    }
    text.remove_prefix(count);
    return count > 0;
}
}  // namespace detail

// A positive finite number in plain decimal, as "2", "0.5", ".5" or "1e3": no sign, no spaces,
// no hexadecimal, no "inf". The grammar is checked here and the conversion done in the classic
// locale, so that every standard library and every locale accept and refuse the same texts.
inline std::optional<double> parsePositiveDecimal(std::string_view text) {
    std::string_view rest = text;
    const bool whole = detail::skipDigits(rest);
    bool fraction = false;
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        fraction = detail::skipDigits(rest);
    }
    if (!whole && !fraction) {
        return std::nullopt;
    }
    if (!rest.empty() && (rest.front() == 'e' || rest.front() == 'E')) {
        rest.remove_prefix(1);
        if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
            rest.remove_prefix(1);
        }
        if (!detail::skipDigits(rest)) {
            return std::nullopt;
        }
    }
    if (!rest.empty()) {
        return std::nullopt;
    }
    std::istringstream stream{std::string(text)};
    stream.imbue(std::locale::classic());
    double value = 0;
    stream >> value;
    if (stream.fail() || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace orbalune
