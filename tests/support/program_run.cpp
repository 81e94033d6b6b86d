#include "support/program_run.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/programs/game_program.hpp"
#include "platform/replay/replay.hpp"
#include "support/arguments.hpp"

namespace orbalune::testing {

ProgramRun runGame(const std::vector<std::string>& words, const std::string& keys,
                   std::uint32_t clockSeed) {
    std::vector<std::string> line{"orbalune"};
    line.insert(line.end(), words.begin(), words.end());
    Arguments arguments(line);
    std::istringstream in(keys);
    std::ostringstream out;
    std::ostringstream err;
    const Console terminal{in, out, [&out](std::int32_t ms) { out << "{pause " << ms << '}'; },
                           clockSeed};
    const int status = playGame(arguments.argc(), arguments.argv(), terminal, err);
    return {status, out.str(), err.str()};
}

ProgramRun runReplay(const std::vector<std::string>& words, const std::string& keys) {
    Arguments arguments{words};
    std::istringstream in(keys);
    std::ostringstream out;
    std::ostringstream err;
    const auto sleep = [&out](std::chrono::microseconds duration) {
        out << "{sleep " << duration.count() << '}';
    };
    const int status = replay(arguments.argc(), arguments.argv(), {in, out, err, sleep});
    return {status, out.str(), err.str()};
}

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orbalune-test-XXXXXX");
    path_ = ::mkdtemp(pattern.data());
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TemporaryDirectory::names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace orbalune::testing
