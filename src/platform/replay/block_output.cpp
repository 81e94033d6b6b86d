#include "platform/replay/block_output.hpp"

namespace orbalune {

bool BlockOutput::finish() {
    return handOn() && target_.pubsync() == 0;
}

BlockOutput::int_type BlockOutput::overflow(int_type c) {
    if (!handOn()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        sputc(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
}

bool BlockOutput::handOn() {
    const std::streamsize size = pptr() - pbase();
    failed_ = failed_ || target_.sputn(pbase(), size) != size;
    reset();
    return !failed_;
}

}  // namespace orbalune
