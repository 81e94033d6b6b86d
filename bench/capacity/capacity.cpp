// Runs many real games at once, as on a shared machine: each with its keys piped in and its
// waits real, each followed by a friend, and says how well they keep their pace and what they
// cost. From the top of the source tree:
//   cmake --preset bench && cmake --build --preset bench --target capacity
// or, built, ./build/bench/bench/capacity/orbalune-capacity [--waiting MS] [--load K] N...
// --load K keeps the machine busy with K processes that only compute meanwhile.
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/capacity/game_plan.hpp"
#include "bench/capacity/processes.hpp"
#include "game/game.hpp"

namespace orbalune::capacity {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kFirstSeed = 10000;

// One game as it runs: its screen read as it comes, and its waits timed by it.
struct RunningGame {
    const GamePlan* plan = nullptr;
    pid_t pid = -1;
    pid_t follower = -1;
    int keys = -1;
    int screen = -1;
    std::string shown;
    std::size_t nextWait = 0;
    std::optional<Clock::time_point> stillSince;  // the screen stopped where a wait is
};

struct Figures {
    std::vector<double> lateMs;
    std::size_t unmeasured = 0;  // a wait's two sides read at once: the reader fell behind
    std::vector<double> gameSeconds;
    std::vector<long> gameKilobytes;
    std::vector<long> followerKilobytes;
    std::size_t badEnds = 0;  // a game or follower that did not end with status 0
    std::size_t wrongScreens = 0;
    double waitedSeconds = 0;
};

std::string savedGame(const std::filesystem::path& folder, std::size_t game) {
    return (folder / (std::to_string(game) + ".game")).string();
}

std::string expectedScreen(const GamePlan& plan) {
    std::istringstream in(plan.keys);
    std::ostringstream screen;
    Game(Console{in, screen, nullptr, plan.seed}).run();
    return screen.str();
}

// Notes what a read of the screen tells of the game's waits.
void timeWaits(RunningGame& game, Clock::time_point now, Figures& figures) {
    const std::vector<PlannedWait>& waits = game.plan->waits;
    while (game.nextWait < waits.size()) {
        const PlannedWait& wait = waits[game.nextWait];
        const std::size_t shown = game.shown.size();
        if (!game.stillSince) {
            if (shown < wait.offset) {
                return;
            }
            if (shown > wait.offset) {
                ++figures.unmeasured;
                ++game.nextWait;
                continue;
            }
            game.stillSince = now;
            return;
        }
        if (shown == wait.offset) {
            return;
        }
        const std::chrono::duration<double, std::milli> still = now - *game.stillSince;
        figures.lateMs.push_back(still.count() - wait.ms);
        game.stillSince.reset();
        ++game.nextWait;
    }
}

void checkEnd(const ProcessCost& cost, Figures& figures) {
    if (!WIFEXITED(cost.status) || WEXITSTATUS(cost.status) != 0) {
        ++figures.badEnds;
    }
}

std::vector<pid_t> startLoad(int processes) {
    std::vector<pid_t> load;
    for (int i = 0; i < processes; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            volatile unsigned long spin = 0;
            for (;;) {
                spin = spin + 1;
            }
        }
        load.push_back(pid);
    }
    return load;
}

void stopLoad(const std::vector<pid_t>& load) {
    for (const pid_t pid : load) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

// Starts every game, its keys still to come.
std::vector<RunningGame> startGames(const std::vector<GamePlan>& plans,
                                    const std::filesystem::path& folder) {
    std::vector<RunningGame> games(plans.size());
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const Pipe keys = makePipe();
        const Pipe screen = makePipe();
        games[i].plan = &plans[i];
        games[i].pid =
            startProcess(ORBALUNE_GAME_BINARY,
                         {"--save", savedGame(folder, i), "--seed", std::to_string(plans[i].seed)},
                         keys.read, screen.write);
        ::close(keys.read);
        ::close(screen.write);
        ::fcntl(screen.read, F_SETFL, O_NONBLOCK);
        games[i].keys = keys.write;
        games[i].screen = screen.read;
    }
    return games;
}

// Reads every screen as it comes, until every game has shown its first screen (and so made its
// file), or until every game has ended.
void readScreens(std::vector<RunningGame>& games, bool untilShown, Figures& figures) {
    std::vector<pollfd> polled;
    std::vector<RunningGame*> polledGames;
    std::vector<char> buffer(std::size_t{1} << 16);
    for (;;) {
        polled.clear();
        polledGames.clear();
        for (RunningGame& game : games) {
            if (game.screen >= 0 && !(untilShown && !game.shown.empty())) {
                polled.push_back({game.screen, POLLIN, 0});
                polledGames.push_back(&game);
            }
        }
        if (polled.empty()) {
            return;
        }
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            continue;
        }
        const Clock::time_point now = Clock::now();
        for (std::size_t p = 0; p < polled.size(); ++p) {
            if (polled[p].revents == 0) {
                continue;
            }
            RunningGame& game = *polledGames[p];
            ssize_t count = 0;
            while ((count = ::read(game.screen, buffer.data(), buffer.size())) > 0) {
                game.shown.append(buffer.data(), static_cast<std::size_t>(count));
            }
            timeWaits(game, now, figures);
            if (count == 0) {
                ::close(game.screen);
                game.screen = -1;
                const ProcessCost cost = awaitProcess(game.pid);
                checkEnd(cost, figures);
                figures.gameSeconds.push_back(cost.processorSeconds);
                figures.gameKilobytes.push_back(cost.peakKilobytes);
            }
        }
    }
}

// Everyone starts at once: every game and every follower is up before the first key is typed,
// so that starting them does not keep this program from reading the screens in time.
void playGames(std::vector<RunningGame>& games, const std::filesystem::path& folder,
               Figures& figures) {
    readScreens(games, true, figures);
    for (std::size_t i = 0; i < games.size(); ++i) {
        games[i].follower =
            startProcess(ORBALUNE_REPLAY_BINARY, {"--follow", savedGame(folder, i)}, -1, -1);
    }
    for (RunningGame& game : games) {
        // Fits in the pipe: a game's keys are a few hundred bytes.
        if (::write(game.keys, game.plan->keys.data(), game.plan->keys.size()) < 0) {
            std::perror("orbalune-capacity: keys");
        }
        ::close(game.keys);
    }
    readScreens(games, false, figures);
}

template <typename T>
T at(std::vector<T> values, double fraction) {
    if (values.empty()) {
        return T{};
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

void report(std::size_t count, int load, const Figures& figures) {
    double processor = 0;
    for (const double seconds : figures.gameSeconds) {
        processor += seconds;
    }
    std::printf(
        "%zu games and %zu followers at once, %d processes computing beside them; the games "
        "waited %.0f s in all\n",
        count, figures.followerKilobytes.size(), load, figures.waitedSeconds);
    std::printf("  %zu waits ended late by: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms",
                figures.lateMs.size(), at(figures.lateMs, 0.5), at(figures.lateMs, 0.99),
                at(figures.lateMs, 1.0));
    std::printf(figures.unmeasured > 0 ? " (%zu not measured)\n" : "\n", figures.unmeasured);
    std::printf("  processor time: %.1f ms a game (median), %.1f ms at most, %.2f s for all\n",
                1e3 * at(figures.gameSeconds, 0.5), 1e3 * at(figures.gameSeconds, 1.0), processor);
    std::printf("  memory: %.1f MB a game, %.1f MB a follower (peak resident set, median)\n",
                static_cast<double>(at(figures.gameKilobytes, 0.5)) / 1024,
                static_cast<double>(at(figures.followerKilobytes, 0.5)) / 1024);
    std::printf("  %zu screens not as expected, %zu processes that did not end well\n",
                figures.wrongScreens, figures.badEnds);
}

bool run(std::size_t count, std::chrono::milliseconds waiting, int load) {
    std::vector<GamePlan> plans;
    Figures figures;
    for (std::size_t i = 0; i < count; ++i) {
        plans.push_back(planGame(kFirstSeed + static_cast<std::uint32_t>(i), waiting));
        figures.waitedSeconds += static_cast<double>(plans.back().waitedMs) / 1e3;
    }
    std::string folderName = (std::filesystem::temp_directory_path() / "orbalune-capacity-XXXXXX");
    if (::mkdtemp(folderName.data()) == nullptr) {
        std::perror("orbalune-capacity: a folder for the games");
        return false;
    }
    const std::filesystem::path folder(folderName);
    const std::vector<pid_t> loadProcesses = startLoad(load);
    std::vector<RunningGame> games = startGames(plans, folder);
    playGames(games, folder, figures);
    for (const RunningGame& game : games) {
        if (game.follower >= 0) {
            const ProcessCost cost = awaitProcess(game.follower);
            checkEnd(cost, figures);
            figures.followerKilobytes.push_back(cost.peakKilobytes);
        }
        if (game.shown != expectedScreen(*game.plan)) {
            ++figures.wrongScreens;
        }
    }
    stopLoad(loadProcesses);
    std::filesystem::remove_all(folder);
    report(count, load, figures);
    return figures.wrongScreens == 0 && figures.badEnds == 0;
}

// Room for a descriptor a game, and more.
void allowManyDescriptors() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace
}  // namespace orbalune::capacity

int main(int argc, char** argv) {
    using namespace orbalune::capacity;
    std::chrono::milliseconds waiting(8000);
    int load = 0;
    std::vector<std::size_t> counts;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if ((word == "--waiting" || word == "--load") && i + 1 < argc) {
            const long value = std::strtol(argv[++i], nullptr, 10);
            if (word == "--load") {
                load = static_cast<int>(value);
            } else {
                waiting = std::chrono::milliseconds(value);
            }
        } else if (const long count = std::strtol(word.c_str(), nullptr, 10); count > 0) {
            counts.push_back(static_cast<std::size_t>(count));
        } else {
            std::fprintf(stderr, "usage: orbalune-capacity [--waiting MS] [--load K] N...\n");
            return 2;
        }
    }
    if (counts.empty()) {
        counts = {100, 500};
    }
    allowManyDescriptors();
    ::signal(SIGPIPE, SIG_IGN);
    bool allWell = true;
    for (const std::size_t count : counts) {
        allWell = run(count, waiting, load) && allWell;
    }
    return allWell ? 0 : 1;
}
