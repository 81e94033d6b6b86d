#pragma once

#include <array>
#include <cstddef>
#include <streambuf>

namespace orbalune {

// Output for a reader who takes it all at once (a file, a pipe): the game's flushes, which a
// player at a terminal needs, are held back, and the text goes on in large blocks.
class BlockOutput : public std::streambuf {
public:
    explicit BlockOutput(std::streambuf& target) : target_(target) { reset(); }

    // Hands on what is held and flushes the target; false if anything written was lost.
    bool finish();

protected:
    int_type overflow(int_type c) override;
    int sync() override { return 0; }  // the game's flush: nothing to do until the block is full

private:
    void reset() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
    bool handOn();

    static constexpr std::size_t kBlockBytes = std::size_t{1} << 16;

    std::streambuf& target_;
    std::array<char, kBlockBytes> buffer_{};
    bool failed_ = false;
};

}  // namespace orbalune
