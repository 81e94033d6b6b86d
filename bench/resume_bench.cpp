// Resuming a saved game of 100,000 keys (reading the file, replaying its keys with the output
// held back, showing the last screen) against replaying the same keys with the output thrown
// away: what saving costs a player who comes back. Replaying the saved game into a file, against
// resuming it. A watch taken to the end and one key back; the table of 100 saved games. And what
// making a typed key durable costs, on the disk the benchmark runs on.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.hpp"
#include "platform/replay/dropped_output.hpp"
#include "platform/replay/instant_replay.hpp"
#include "platform/replay/replay.hpp"
#include "platform/replay/steered_watch.hpp"
#include "platform/saved_games/play_session.hpp"
#include "platform/saved_games/save_file.hpp"

namespace orbalune {
namespace {

constexpr std::size_t kKeys = 100000;
constexpr std::uint32_t kSeed = 2026;

// Keys of a restless player: mostly moves and attacks, some of everything else.
std::string restlessKeys() {
    const std::string alphabet = "nnnsssweeeeaaaaagcbiuvd";
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string keys;
    for (std::size_t i = 0; i < kKeys; ++i) {
        keys += alphabet[pick(random)];
    }
    return keys;
}

void BM_ReplayKeys(benchmark::State& state) {
    const std::string keys = restlessKeys();
    DroppedOutput discard;
    std::ostream out(&discard);
    for (auto _ : state) {
        std::istringstream in(keys);
        Game game(Console{in, out, {}, kSeed});
        benchmark::DoNotOptimize(game.run());
    }
}

// A saved game of restless keys, removed when the benchmark ends.
class BenchGame {
public:
    BenchGame() { std::ofstream(path_, std::ios::binary) << saveHeader(kSeed) << restlessKeys(); }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;
    ~BenchGame() { std::filesystem::remove(path_); }

    [[nodiscard]] const std::string& path() const { return path_; }

private:
    // In the working directory: a temporary directory may be in memory, not on a disk.
    std::string path_ = "orbalune-bench-" + std::to_string(::getpid()) + ".game";
};

void BM_ResumeSavedGame(benchmark::State& state) {
    const BenchGame saved;
    const std::string& path = saved.path();
    DroppedOutput discard;
    std::ostream out(&discard);
    std::istringstream nothingTyped;
    for (auto _ : state) {
        SaveFile save = openSaveFile(path, 0);
        PlaySession session(Console{nothingTyped, out, {}, 0}, &save);
        Game game(session.console(save.seed));
        benchmark::DoNotOptimize(game.run());
        benchmark::DoNotOptimize(session.finish());
    }
}

// What orbalune-replay FILE > out does: reading the file, and writing the game in blocks.
void BM_ReplaySavedGameToFile(benchmark::State& state) {
    const BenchGame saved;
    std::vector<std::string> outputs;
    for (auto _ : state) {
        // A new file each time: one file truncated and rewritten ten times over is written out
        // to the disk at each close by ext4 (auto_da_alloc), a cost of the file system's.
        outputs.push_back(saved.path() + ".out" + std::to_string(outputs.size()));
        std::ofstream file(outputs.back(), std::ios::binary);
        const SaveReader game = openSaveReader(saved.path());
        SavedKeys keys = game.keys();
        SavedKeysStream stream(keys);
        benchmark::DoNotOptimize(replayInstantly(stream, game.seed, file, {}));
    }
    for (const std::string& output : outputs) {
        std::filesystem::remove(output);
    }
}

// One key typed and made durable before the game waits for the next: what a player's key costs.
void BM_TypedKeyMadeDurable(benchmark::State& state) {
    const std::string path = "orbalune-bench-durable-" + std::to_string(::getpid()) + ".game";
    SaveFile save = openSaveFile(path, kSeed);
    for (auto _ : state) {
        benchmark::DoNotOptimize(save.appendKey('n') && save.makeDurable());
    }
    std::filesystem::remove(path);
}

// A watch of `keys` steered by `steering`, through a pipe, ready at once (with no terminal, no
// status line is drawn); the memory its snapshots took, or none if there was no pipe.
std::optional<std::size_t> watchSteered(const std::string& keys, const std::string& steering) {
    std::array<int, 2> pipe{};
    if (::pipe(pipe.data()) != 0 || ::write(pipe[1], steering.data(), steering.size()) !=
                                        static_cast<ssize_t>(steering.size())) {
        return std::nullopt;
    }
    DroppedOutput discard;
    std::ostream screen(&discard);
    TerminalKeys keyboard(pipe[0], TerminalKeys::kNoEndKey);
    SavedKeys saved(keys);
    SteeredWatch watch({saved, kSeed}, screen, keyboard, 1);
    benchmark::DoNotOptimize(watch.run());
    ::close(pipe[0]);
    ::close(pipe[1]);
    return watch.snapshotBytes();
}

// A watch steered to the end of a long game and one key back, as a viewer's keys take it: two
// jumps, the first playing the game again from its start up to where it lands.
void BM_JumpToTheEndAndOneKeyBack(benchmark::State& state) {
    const std::string keys = restlessKeys();
    std::string steering = "g";  // (built in steps: GCC 12 warns of a concatenation wrongly)
    steering += std::to_string(keys.size());
    steering += "\nhq";
    for (auto _ : state) {
        if (!watchSteered(keys, steering)) {
            state.SkipWithError("no pipe for the keys");
            break;
        }
    }
}

// Keys of a restless player, `count` of them.
std::string manyRestlessKeys(std::size_t count) {
    std::string keys;
    while (keys.size() < count) {
        keys += restlessKeys();
    }
    keys.resize(count);
    return keys;
}

// A watch of 1,000,000 keys steered to its end (which plays it through once, taking its
// snapshots on the way), then to `range(0)` places anywhere, each from the nearest snapshot.
// Subtract the run without further jumps for what those jumps take.
void BM_JumpsIn1MKeys(benchmark::State& state) {
    constexpr std::size_t kManyKeys = 1000000;
    const std::string keys = manyRestlessKeys(kManyKeys);
    std::string steering = "g";  // (built in steps: GCC 12 warns of a concatenation wrongly)
    steering += std::to_string(kManyKeys);
    steering += '\n';
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<std::size_t> anywhere(1, kManyKeys);
    for (std::int64_t jump = 0; jump < state.range(0); ++jump) {
        steering += 'g';
        steering += std::to_string(anywhere(random));
        steering += '\n';
    }
    steering += "q";
    for (auto _ : state) {
        const std::optional<std::size_t> snapshotBytes = watchSteered(keys, steering);
        if (!snapshotBytes) {
            state.SkipWithError("no pipe for the keys");
            break;
        }
        state.counters["snapshot_MB"] = static_cast<double>(*snapshotBytes) / 1e6;
    }
}

// orbalune-replay --info with 100 saved games of 10,000 keys each: the table of a player's
// collection, each file read and played through once.
void BM_InfoTableOf100Games(benchmark::State& state) {
    constexpr std::size_t kGames = 100;
    constexpr std::size_t kKeysEach = 10000;
    const std::string keys = restlessKeys();
    std::vector<std::string> words = {"orbalune-replay", "--info"};
    for (std::size_t game = 0; game < kGames; ++game) {
        words.push_back("orbalune-bench-info-" + std::to_string(::getpid()) + "-" +
                        std::to_string(game) + ".game");
        // Each its own stretch of a restless player's keys, so that the games differ.
        std::ofstream(words.back(), std::ios::binary)
            << saveHeader(kSeed + game)
            << keys.substr(game * 997 % (keys.size() - kKeysEach), kKeysEach);
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    DroppedOutput discard;
    std::ostream out(&discard);
    std::istringstream in;
    for (auto _ : state) {
        benchmark::DoNotOptimize(replay(static_cast<int>(argv.size()), argv.data(),
                                        ReplayTerminal{in, out, out, sleepFor}));
    }
    for (std::size_t game = 2; game < words.size(); ++game) {
        std::filesystem::remove(words[game]);
    }
}

BENCHMARK(BM_ReplayKeys)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResumeSavedGame)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpToTheEndAndOneKeyBack)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpsIn1MKeys)->Arg(0)->Arg(20)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InfoTableOf100Games)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaySavedGameToFile)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypedKeyMadeDurable)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orbalune
