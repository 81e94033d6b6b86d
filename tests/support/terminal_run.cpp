#include "support/terminal_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>

#include "support/screens.hpp"

namespace orbalune::testing {

namespace {

constexpr auto kPatience = std::chrono::seconds(20);
const std::string kPrompt = "==> ";

// Starts `program` with `words` in a child whose standard streams `prepare` sets up.
template <typename Prepare>
pid_t start(const std::string& program, const std::vector<std::string>& words, Prepare prepare) {
    std::vector<std::string> line{program};
    line.insert(line.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : line) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        prepare();
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

// Reads into `into` what `fd` has within `patience`; false if nothing came.
bool readInto(int fd, std::string& into, std::chrono::milliseconds patience) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(patience.count())) <= 0) {
        return false;
    }
    std::array<char, 4096> chunk{};
    const ssize_t count = ::read(fd, chunk.data(), chunk.size());
    if (count <= 0) {
        return false;
    }
    into.append(chunk.data(), static_cast<std::size_t>(count));
    return true;
}

// Waits until `done` holds, reading from `fd` into `into`; false if it did not within a while.
template <typename Done>
bool readUntil(int fd, std::string& into, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        readInto(fd, into, std::chrono::milliseconds(100));
    }
    return true;
}

// Waits for `pid` to end, reading what it writes to `fd` into `into` meanwhile: a program that
// writes more than a terminal or a pipe holds as it ends would otherwise wait on its writes for
// ever. Its wait status, or -1 if it had to be killed.
int waitFor(pid_t pid, int fd, std::string& into) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        readInto(fd, into, std::chrono::milliseconds(10));
    }
    return status;
}

}  // namespace

TerminalRun::TerminalRun(const std::string& program, const std::vector<std::string>& words,
                         const std::string& input) {
    winsize size{};
    size.ws_row = kRows;
    size.ws_col = 80;
    ::openpty(&master_, &slave_, nullptr, nullptr, &size);
    // Line ends reach the screen as the program wrote them, without the terminal's "\r".
    ::tcgetattr(slave_, &initial_);
    initial_.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    ::tcsetattr(slave_, TCSANOW, &initial_);
    pid_ = start(program, words, [this, &input] {
        ::setsid();
        ::ioctl(slave_, TIOCSCTTY, 0);
        for (int fd = 0; fd <= 2; ++fd) {
            ::dup2(slave_, fd);
        }
        if (!input.empty()) {
            ::dup2(::open(input.c_str(), O_RDONLY), 0);
        }
        ::close(master_);
        ::close(slave_);
    });
}

TerminalRun::~TerminalRun() {
    if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(master_);
    ::close(slave_);
}

void TerminalRun::type(const std::string& keys) const {
    (void)!::write(master_, keys.data(), keys.size());
}

bool TerminalRun::awaitPrompts(std::size_t count) {
    return readUntil(master_, screen_, [this, count] {
        return screen_.ends_with(kPrompt) && countOf(screen_, kPrompt) >= count;
    });
}

bool TerminalRun::awaitText(const std::string& text) {
    std::size_t found = std::string::npos;
    const bool shown = readUntil(master_, screen_, [&] {
        found = screen_.find(text, awaited_);
        return found != std::string::npos;
    });
    if (shown) {
        awaited_ = found + text.size();
    }
    return shown;
}

termios TerminalRun::settings() const {
    termios now{};
    ::tcgetattr(slave_, &now);
    return now;
}

void TerminalRun::signal(int number) const {
    ::kill(pid_, number);
}

void TerminalRun::stopOutput() const {
    ::tcflow(slave_, TCOOFF);
}

void TerminalRun::resize(int rows) const {
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = 80;
    ::ioctl(master_, TIOCSWINSZ, &size);
}

void TerminalRun::leaveNonBlocking() const {
    ::fcntl(slave_, F_SETFL, ::fcntl(slave_, F_GETFL) | O_NONBLOCK);
}

bool TerminalRun::nonBlocking() const {
    return (::fcntl(slave_, F_GETFL) & O_NONBLOCK) != 0;
}

int TerminalRun::finish() {
    const int status = waitFor(pid_, master_, screen_);
    pid_ = -1;
    while (readInto(master_, screen_, std::chrono::milliseconds(100))) {
    }
    return status;
}

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::equal(std::begin(a.c_cc), std::end(a.c_cc), b.c_cc);
}

BackgroundRun::BackgroundRun(const std::string& program, const std::vector<std::string>& words) {
    std::array<int, 2> pipe{};
    (void)!::pipe(pipe.data());
    out_ = pipe[0];
    pid_ = start(program, words, [&pipe] {
        const int nothing = ::open("/dev/null", O_RDONLY);
        ::dup2(nothing, 0);
        ::dup2(pipe[1], 1);
        ::close(pipe[0]);
    });
    ::close(pipe[1]);
}

BackgroundRun::~BackgroundRun() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
}

bool BackgroundRun::awaitOutputEnding(const std::string& text) {
    return readUntil(out_, output_, [this, &text] { return output_.ends_with(text); });
}

int BackgroundRun::finish() {
    const int status = waitFor(pid_, out_, output_);
    pid_ = -1;
    while (readInto(out_, output_, std::chrono::milliseconds(0))) {
    }
    return status;
}

}  // namespace orbalune::testing
