#include "platform/replay/instant_replay.hpp"

#include <istream>

#include "game/game.hpp"
#include "platform/replay/block_output.hpp"
#include "platform/replay/key_streams.hpp"

namespace orbalune {

int replayInstantly(std::streambuf& keys, std::uint32_t seed, std::ostream& out,
                    InstantExtras extras) {
    BlockOutput blocks(*out.rdbuf());
    std::ostream screen(&blocks);
    auto pause = [&screen, show = extras.pauses](std::int32_t ms) {
        if (show) {
            screen << "{pause " << ms << '}';
        }
    };
    EchoedKeys echoed(keys, screen);
    std::istream in(extras.keys ? &echoed.keys() : &keys);
    const int status = Game(Console{in, screen, pause, seed}).run();
    if (!blocks.finish() || screen.fail()) {
        out.setstate(std::ios::badbit);
    }
    return status;
}

}  // namespace orbalune
