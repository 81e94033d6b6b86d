// Plays a whole game from the fuzzer's bytes: the first four are the seed (little-endian), the
// rest are the keys. The game's invariants are checked after every command; a breach, or a
// consistency check that player input should never reach, is a finding. Before one command (the
// seed's top byte says which), a snapshot of the game is restored into a second game, which must
// play the rest of the keys exactly as the first does.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "game/game.hpp"
#include "game/invariants.hpp"
#include "platform/replay/dropped_output.hpp"

namespace {

[[noreturn]] void report(const std::string& what) {
    std::fprintf(stderr, "finding: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kSeedBytes = 4;
    if (size < kSeedBytes) {
        return 0;
    }
    std::uint32_t seed = 0;
    for (std::size_t i = 0; i < kSeedBytes; ++i) {
        seed |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    const std::string keys(reinterpret_cast<const char*>(data) + kSeedBytes, size - kSeedBytes);
    std::istringstream in(keys);
    std::ostringstream out;  // from the snapshot on
    orbalune::DroppedOutput dropped;
    out.basic_ios::rdbuf(&dropped);
    orbalune::Game game(orbalune::Console{in, out, {}, seed});
    const std::size_t snapshotAt = seed >> 24;
    std::size_t commands = 0;
    std::string snapshot;
    std::size_t snapshotTaken = 0;
    try {
        for (;; ++commands) {
            if (commands == snapshotAt) {
                snapshot = game.snapshot();
                snapshotTaken = static_cast<std::size_t>(in.tellg());
                out.basic_ios::rdbuf(out.rdbuf());
            }
            game.step();
            for (const std::string& breach : orbalune::invariantBreaches(game)) {
                report(breach);
            }
        }
    } catch (const orbalune::EndOfInput&) {
    } catch (const orbalune::FatalError& error) {
        report(error.message);
    }
    if (snapshot.empty()) {
        return 0;
    }
    std::istringstream restIn(keys.substr(snapshotTaken));
    std::ostringstream restOut;
    orbalune::Game restored(orbalune::Console{restIn, restOut, {}, ~seed});
    if (!restored.restore(snapshot)) {
        report("a snapshot the game took is refused");
    }
    restored.run();
    if (restOut.str() != out.str() || restored.snapshot() != game.snapshot()) {
        report("a restored game plays otherwise");
    }
    return 0;
}
