#pragma once

#include <array>
#include <streambuf>

namespace orbalune {

// Takes output into a buffer, as any output stream does, and drops it when the buffer is full:
// for a game played where no one sees it, at the cost of a stream that keeps its output.
class DroppedOutput : public std::streambuf {
public:
    DroppedOutput() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

protected:
    int_type overflow(int_type c) override {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return traits_type::not_eof(c);
    }

private:
    std::array<char, 4096> buffer_{};
};

}  // namespace orbalune
