#include "platform/replay/recording.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "platform/saved_games/save_format.hpp"
#include "support/program_run.hpp"
#include "support/screens.hpp"

namespace orbalune::testing {
namespace {

TEST(Recording, JsonStringsAreValidUtf8WhateverTheBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"==> a", "\"==> a\""},
        {"say \"hi\" \\", "\"say \\\"hi\\\" \\\\\""},
        {"\r\n\x1b[A\x7f", "\"\\r\\n\\u001b[A\\u007f\""},
        {"caf\xc3\xa9 \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xf0\x9f\x98\x80\""},
        {"(\xfb) a", "\"(\xef\xbf\xbd) a\""},  // an item letter past z
        {"\xc3(", "\"\xef\xbf\xbd(\""},        // a character cut short
    };
    for (const auto& [bytes, json] : cases) {
        EXPECT_EQ(jsonString(bytes), json) << bytes;
    }
}

// What a watch shows after each of its waits, and when: its output, each wait written as
// "{sleep US}", cut at the waits, line ends as a terminal receives them.
struct Part {
    std::int64_t micros;
    std::string bytes;
};

std::vector<Part> watchedParts(const std::string& watched) {
    std::vector<Part> parts;
    std::int64_t now = 0;
    std::size_t from = 0;
    const auto add = [&](const std::string& text) {
        if (!text.empty()) {
            parts.push_back({now, std::regex_replace(text, std::regex("\n"), "\r\n")});
        }
    };
    const std::regex sleep("\\{sleep ([0-9]+)\\}");
    for (std::sregex_iterator match(watched.begin(), watched.end(), sleep), end; match != end;
         ++match) {
        add(watched.substr(from, static_cast<std::size_t>(match->position()) - from));
        now += std::stoll((*match)[1]);
        from = static_cast<std::size_t>(match->position() + match->length());
    }
    add(watched.substr(from));
    return parts;
}

// A ttyrec's times are 32 bits of seconds: a frame past them is refused, never written wrapped
// round to an earlier time. An asciicast has no such end.
TEST(Recording, ATtyrecThatWouldGoBackInTimeIsRefused) {
    const std::chrono::microseconds last(std::chrono::seconds(0xffffffffLL));
    std::ostringstream ttyrec;
    RecordingWriter writer(ttyrec, RecordingFormat::Ttyrec, 80, 24, "long");
    writer.frame(last, "v");
    EXPECT_EQ(ttyrec.str().size(), 13U);
    EXPECT_THROW(writer.frame(last + std::chrono::seconds(1), "v"), SaveFileError);
    EXPECT_EQ(ttyrec.str().size(), 13U) << "nothing of the refused frame written";
    std::ostringstream cast;
    RecordingWriter(cast, RecordingFormat::Asciicast, 80, 24, "long")
        .frame(last + std::chrono::seconds(1), "v");
    EXPECT_NE(cast.str().find("[4294967296.000000, \"o\", \"v\"]"), std::string::npos);
}

// A cast holds what a watch shows, each part at the time it shows it, faster at a speed, under
// a header that gives the terminal's size and the game's name. (The ttyrec's frames are the
// same; the players' test times one with termtime.)
TEST(Recording, HoldsWhatWatchingShowsWhenItShows) {
    const TemporaryDirectory directory;
    const std::string path = directory.file("fight.game");
    writeFile(path, saveHeader(42) + "v e n a a");  // a fight, its waits among the keys
    for (const std::string speed : {"1", "2"}) {
        std::string watched = runReplay({"r", "--watch", "--speed", speed, path}).out;
        watched.pop_back();  // the line end a watch adds for the shell's prompt
        std::string expected = "{\"version\": 2, \"width\": 80, \"height\": 24, \"title\": \"" +
                               path + ", seed 42\"}\n";
        for (const Part& part : watchedParts(watched)) {
            std::array<char, 32> time{};
            std::snprintf(time.data(), time.size(), "%lld.%06lld",
                          static_cast<long long>(part.micros / 1000000),
                          static_cast<long long>(part.micros % 1000000));
            expected +=
                std::string("[") + time.data() + ", \"o\", " + jsonString(part.bytes) + "]\n";
        }
        EXPECT_GT(countOf(expected, "\"o\""), 5U);
        EXPECT_EQ(runReplay({"r", "--cast", "--speed", speed, path}).out, expected) << speed;
    }
}

}  // namespace
}  // namespace orbalune::testing
