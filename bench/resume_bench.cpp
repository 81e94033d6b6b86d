// Resuming a saved game of 100,000 keys (reading the file, replaying its keys with the output
// held back, showing the last screen) against replaying the same keys with the output thrown
// away: what saving costs a player who comes back.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "game/game.hpp"
#include "platform/play_session.hpp"
#include "platform/save_file.hpp"

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

// Takes output into a buffer, as any output stream does, and drops it when the buffer is full.
class Discard : public std::streambuf {
public:
    Discard() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

protected:
    int_type overflow(int_type c) override {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return traits_type::not_eof(c);
    }

private:
    std::array<char, 4096> buffer_{};
};

void BM_ReplayKeys(benchmark::State& state) {
    const std::string keys = restlessKeys();
    Discard discard;
    std::ostream out(&discard);
    for (auto _ : state) {
        std::istringstream in(keys);
        Game game(Console{in, out, {}, kSeed});
        benchmark::DoNotOptimize(game.run());
    }
}

void BM_ResumeSavedGame(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("orbalune-bench-" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << saveHeader(kSeed) << restlessKeys();
    Discard discard;
    std::ostream out(&discard);
    std::istringstream nothingTyped;
    for (auto _ : state) {
        SaveFile save = openSaveFile(path, 0);
        PlaySession session(Console{nothingTyped, out, {}, 0}, &save);
        Game game(session.console(save.game.seed));
        benchmark::DoNotOptimize(game.run());
        benchmark::DoNotOptimize(session.finish());
    }
    std::filesystem::remove(path);
}

BENCHMARK(BM_ReplayKeys)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResumeSavedGame)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orbalune
