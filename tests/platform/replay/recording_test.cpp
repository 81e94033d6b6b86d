#include "platform/replay/recording.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/replay/replay.hpp"
#include "platform/saved_games/save_format.hpp"
#include "support/arguments.hpp"
#include "support/program_run.hpp"

namespace orbalune::testing {
namespace {

TEST(Recording, JsonStringsAreValidUtf8WhateverTheBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"==> a", "\"==> a\""},
        {"say \"hi\" \\", "\"say \\\"hi\\\" \\\\\""},
        {"\r\n\x1b[A\x7f", "\"\\r\\n\\u001b[A\\u007f\""},
        {"caf\xc3\xa9 \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xf0\x9f\x98\x80\""},
        {"(\xfb) a", "\"(\xef\xbf\xbd) a\""},                          // an item letter past z
        {"\xc3(", "\"\xef\xbf\xbd(\""},                                // a character cut short
        {"\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""},  // a surrogate
    };
    for (const auto& [bytes, json] : cases) {
        EXPECT_EQ(jsonString(bytes), json) << bytes;
    }
}

struct TtyrecFrame {
    std::int64_t micros;
    std::string bytes;
};

std::uint32_t littleEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t byte = 4; byte-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + byte]);
    }
    return value;
}

std::vector<TtyrecFrame> framesOf(const std::string& ttyrec) {
    std::vector<TtyrecFrame> frames;
    for (std::size_t at = 0; at + 12 <= ttyrec.size();) {
        const std::uint32_t length = littleEndian(ttyrec, at + 8);
        frames.push_back(
            {std::int64_t{littleEndian(ttyrec, at)} * 1000000 + littleEndian(ttyrec, at + 4),
             ttyrec.substr(at + 12, length)});
        at += 12 + length;
    }
    return frames;
}

// A watch's output, each wait written as "{sleep US}", cut into what shows after each wait.
std::vector<TtyrecFrame> watchedParts(const std::string& watched) {
    std::vector<TtyrecFrame> parts;
    std::int64_t now = 0;
    const std::regex sleep("\\{sleep ([0-9]+)\\}");
    std::size_t from = 0;
    const auto add = [&](std::string text) {
        if (!text.empty()) {
            parts.push_back({now, std::regex_replace(text, std::regex("\n"), "\r\n")});
        }
    };
    for (std::sregex_iterator match(watched.begin(), watched.end(), sleep), end; match != end;
         ++match) {
        add(watched.substr(from, static_cast<std::size_t>(match->position()) - from));
        now += std::stoll((*match)[1]);
        from = static_cast<std::size_t>(match->position() + match->length());
    }
    add(watched.substr(from));
    return parts;
}

// A ttyrec holds the parts a watch shows, each at the time it shows them, faster at a speed; a
// cast has the same times, under a header that gives the terminal's size and the game's name.
TEST(Recording, HoldsWhatWatchingShowsWhenItShows) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("fight.game");
    writeFile(path, saveHeader(42) + "v e n a a");  // a fight, its waits among the keys
    for (const double speed : {1.0, 2.0}) {
        const std::string pace = std::to_string(speed);
        const auto run = [&](const std::string& option) {
            Arguments arguments{{"r", option, "--speed", pace, path}};
            std::istringstream nothing;
            std::ostringstream out;
            std::ostringstream err;
            const auto sleep = [&out](std::chrono::microseconds duration) {
                out << "{sleep " << duration.count() << '}';
            };
            EXPECT_EQ(replay(arguments.argc(), arguments.argv(),
                             ReplayTerminal{nothing, out, err, sleep}),
                      0)
                << err.str();
            return out.str();
        };
        std::string watched = run("--watch");
        watched.pop_back();  // the line end a watch adds for the shell's prompt
        const std::vector<TtyrecFrame> frames = framesOf(run("--ttyrec"));
        const std::vector<TtyrecFrame> parts = watchedParts(watched);
        ASSERT_EQ(frames.size(), parts.size()) << speed;
        ASSERT_GT(frames.size(), 5U);
        EXPECT_EQ(frames[1].micros, static_cast<std::int64_t>(500000 / speed));
        for (std::size_t frame = 0; frame < frames.size(); ++frame) {
            EXPECT_EQ(frames[frame].micros, parts[frame].micros) << frame;
            EXPECT_EQ(frames[frame].bytes, parts[frame].bytes) << frame;
        }

        const std::string cast = run("--cast");
        EXPECT_TRUE(
            cast.starts_with("{\"version\": 2, \"width\": 80, \"height\": 24, \"title\": \"" +
                             path + ", seed 42\"}\n"));
        const std::regex time("\n\\[([0-9]+)\\.([0-9]{6}), \"o\", \"");
        std::vector<std::int64_t> times;
        for (std::sregex_iterator match(cast.begin(), cast.end(), time), end; match != end;
             ++match) {
            times.push_back(std::stoll((*match)[1]) * 1000000 + std::stoll((*match)[2]));
        }
        ASSERT_EQ(times.size(), frames.size());
        for (std::size_t frame = 0; frame < frames.size(); ++frame) {
            EXPECT_EQ(times[frame], frames[frame].micros) << frame;
        }
    }
}

}  // namespace
}  // namespace orbalune::testing
