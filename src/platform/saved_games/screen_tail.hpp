#pragma once

#include <algorithm>
#include <streambuf>
#include <string>
#include <string_view>

#include "platform/saved_games/held_output.hpp"

namespace orbalune {

// Passes what is written on to `target`, keeping the last screenful of it: the screen a game
// shows, for a snapshot taken while it is played.
class ScreenTail : public std::streambuf {
public:
    explicit ScreenTail(std::streambuf& target) : target_(target) {}

    [[nodiscard]] ScreenAtKey screen() const { return screenAtKey(text_, keyEnd_); }
    // A key's echo ends here.
    void keyEchoed() { keyEnd_ = text_.size(); }
    // Counts the last `count` bytes shown as not shown: the echo of a key the game passes over,
    // which its saved game does not keep.
    void forget(std::size_t count) { text_.resize(text_.size() - std::min(count, text_.size())); }
    // Counts `text` as shown though it is not written: what the terminal echoes of itself.
    void shownElsewhere(std::string_view text);
    // Forgets what was written: a new game is shown.
    void clear();

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override { return target_.pubsync(); }

private:
    std::streambuf& target_;
    std::string text_;
    std::size_t keyEnd_ = 0;
};

}  // namespace orbalune
