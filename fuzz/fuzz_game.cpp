// Plays a whole game from the fuzzer's bytes: the first four are the seed (little-endian), the
// rest are the keys. The game's invariants are checked after every command; a breach, or a
// consistency check that player input should never reach, is a finding.
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
    std::istringstream in(
        std::string(reinterpret_cast<const char*>(data) + kSeedBytes, size - kSeedBytes));
    orbalune::DroppedOutput screens;  // written as at a terminal: kept, they cost a fifth
    std::ostream out(&screens);
    orbalune::Game game(orbalune::Console{in, out, {}, seed});
    try {
        for (;;) {
            game.step();
            for (const std::string& breach : orbalune::invariantBreaches(game)) {
                report(breach);
            }
        }
    } catch (const orbalune::EndOfInput&) {
    } catch (const orbalune::FatalError& error) {
        report(error.message);
    }
    return 0;
}
