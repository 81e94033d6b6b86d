#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <vector>

namespace orbalune::testing {

// A program of ours run at a pseudo-terminal of its own, as a player runs it in a terminal
// window: keys typed into it, its screen read back.
class TerminalRun {
public:
    static constexpr int kRows = 24;  // the terminal's size: 80 columns of 24 lines

    // `program`: the built binary; `words`: its arguments; `input`: a file for its standard
    // input instead of the terminal, if not empty.
    TerminalRun(const std::string& program, const std::vector<std::string>& words,
                const std::string& input = {});
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;
    ~TerminalRun();

    void type(const std::string& keys) const;
    // Reads the screen until it shows `count` prompts and waits at the last; false if it did not
    // within a few seconds.
    bool awaitPrompts(std::size_t count);
    // Reads the screen until `text` shows after all that an earlier call waited for; false if it
    // did not within a few seconds.
    bool awaitText(const std::string& text);
    // Everything shown so far.
    [[nodiscard]] const std::string& screen() const { return screen_; }
    // The terminal's settings now, and before the program started.
    [[nodiscard]] termios settings() const;
    [[nodiscard]] const termios& initialSettings() const { return initial_; }
    void signal(int number) const;
    // Stops the terminal's output, as Ctrl-S does: the program's writes wait.
    void stopOutput() const;
    // Makes the window `rows` high, as dragging it does: the program is told by SIGWINCH.
    void resize(int rows) const;
    // Sets O_NONBLOCK on the terminal, for the program as for everyone sharing it; whether it is
    // set.
    void leaveNonBlocking() const;
    [[nodiscard]] bool nonBlocking() const;
    // Waits for the program to end, reading what is left of its screen; its wait status.
    int finish();

private:
    int master_ = -1;
    int slave_ = -1;
    pid_t pid_ = -1;
    termios initial_{};
    std::string screen_;
    std::size_t awaited_ = 0;  // how much of the screen awaitText has passed
};

// Whether two terminal settings are the same in every field a program may change.
bool sameSettings(const termios& a, const termios& b);

// A program of ours run in the background with its output in a string.
class BackgroundRun {
public:
    BackgroundRun(const std::string& program, const std::vector<std::string>& words);
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;
    ~BackgroundRun();

    // Reads its output until it ends with `text`; false if it did not within a few seconds.
    bool awaitOutputEnding(const std::string& text);
    // Waits for the program to end (a few seconds at most, then it is killed): its wait status.
    int finish();
    [[nodiscard]] const std::string& output() const { return output_; }

private:
    int out_ = -1;
    pid_t pid_ = -1;
    std::string output_;
};

}  // namespace orbalune::testing
