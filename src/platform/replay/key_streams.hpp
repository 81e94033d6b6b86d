#pragma once

#include <ostream>
#include <streambuf>
#include <string_view>

#include "platform/terminal/keys.hpp"
#include "platform/terminal/shown_text.hpp"

namespace orbalune {

// Keys from `source`, each one shown on `screen` as the game takes it, after its prompt.
class EchoedKeys {
public:
    EchoedKeys(std::streambuf& source, std::ostream& screen)
        : source_(source), screen_(screen), feed_(*this) {}

    std::streambuf& keys() { return feed_; }

private:
    friend class KeyFeed<EchoedKeys>;

    std::streambuf::int_type peekKey() { return source_.sgetc(); }
    std::streambuf::int_type takeKey() {
        const std::streambuf::int_type key = source_.sbumpc();
        if (!std::streambuf::traits_type::eq_int_type(key, std::streambuf::traits_type::eof())) {
            screen_ << shownKey(std::streambuf::traits_type::to_char_type(key));
        }
        return key;
    }

    std::streambuf& source_;
    std::ostream& screen_;
    KeyFeed<EchoedKeys> feed_;
};

}  // namespace orbalune
