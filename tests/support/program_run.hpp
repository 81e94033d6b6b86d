#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orbalune::testing {

// What a program printed and returned when run in-process on a string terminal.
struct ProgramRun {
    int status = -1;
    std::string out;  // with a "{pause MS}" marker wherever the terminal was made to wait
    std::string err;
};

// Runs the orbalune program with `words` after its name, typing `keys`; the terminal's clock
// reads `clockSeed`.
ProgramRun runGame(const std::vector<std::string>& words, const std::string& keys,
                   std::uint32_t clockSeed = 1);

// Runs orbalune-replay with `words` (its name first), `keys` on its standard input; a watch's
// sleeps are written into its output as "{sleep US}" markers instead of being slept.
ProgramRun runReplay(const std::vector<std::string>& words, const std::string& keys = "");

// A fresh directory, removed with everything in it when the test ends.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory();

    [[nodiscard]] std::string file(const std::string& name) const { return path_ / name; }
    [[nodiscard]] std::vector<std::string> names() const;  // sorted

private:
    std::filesystem::path path_;
};

// A whole file's bytes, or empty.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace orbalune::testing
