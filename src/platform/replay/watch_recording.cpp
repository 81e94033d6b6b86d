#include "platform/replay/watch_recording.hpp"

#include <algorithm>

#include "game/game.hpp"
#include "platform/replay/instant_replay.hpp"
#include "platform/replay/playback.hpp"

namespace orbalune {

int recordWatch(const std::string& file, std::uint32_t seed, SavedKeys& keys,
                RecordingFormat format, double speed, std::ostream& out) {
    // The header comes first, and says how wide the game's lines are: it is played once to see.
    LongestLine longest;
    std::ostream measured(&longest);
    SavedKeysStream measuredKeys(keys);
    replayInstantly(measuredKeys, seed, measured, {false, true});

    RecordingWriter writer(out, format, std::max(kRecordingColumns, longest.columns()),
                           kRecordingRows, file + ", seed " + std::to_string(seed));
    FrameCutter frames([&writer](std::chrono::microseconds at, std::string_view bytes) {
        writer.frame(at, bytes);
    });
    std::ostream screen(&frames);
    Playback playback({keys, seed}, screen, speed,
                      [&frames](std::chrono::microseconds time) { frames.pass(time); });
    const int status = Game(playback.console()).run();
    playback.finish();
    frames.finish();
    return status;
}

}  // namespace orbalune
