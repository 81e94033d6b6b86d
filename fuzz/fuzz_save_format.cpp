// Reads the fuzzer's bytes as a saved game file. Every file is either read or refused with a
// reason; one that is read holds its keys at its end, and reads back the same from the header
// this game writes for its seed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/saved_games/save_format.hpp"

namespace {

[[noreturn]] void report(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const orbalune::SavedGame game = orbalune::parseSavedGame(bytes);
        if (!bytes.ends_with(game.keys)) {
            report("the keys are not the end of the file");
        }
        if (!(orbalune::parseSavedGame(orbalune::saveHeader(game.seed) + game.keys) == game)) {
            report("a game read does not read back from its own header");
        }
    } catch (const orbalune::SaveFileError& error) {
        if (error.reason.empty()) {
            report("a refusal without a reason");
        }
    }
    return 0;
}
