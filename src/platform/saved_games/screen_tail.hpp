#pragma once

#include <streambuf>
#include <string>
#include <string_view>

namespace orbalune {

// Passes what is written on to `target`, keeping the last screenful of it: the screen a game
// shows, for a snapshot taken while it is played.
class ScreenTail : public std::streambuf {
public:
    explicit ScreenTail(std::streambuf& target) : target_(target) {}

    [[nodiscard]] std::string screen() const;
    // Counts `text` as shown though it is not written: what the terminal echoes of itself.
    void shownElsewhere(std::string_view text);
    // Forgets what was written: a new game is shown.
    void clear() { text_.clear(); }

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override { return target_.pubsync(); }

private:
    std::streambuf& target_;
    std::string text_;
};

}  // namespace orbalune
